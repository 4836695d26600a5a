#!/usr/bin/python3
"""Types into an exported page's filter box in headless Chromium (driven
over the DevTools protocol on a pipe) and reports what stays visible.

    chromium_filter.py CHROMIUM PAGE.html [--hash FRAGMENT] TEXT...

Prints JSON: one entry per TEXT, {"tables": [section ids shown],
"fields": [field names shown in the first table shown], "typed": the box's
text}; with --hash the page is opened at PAGE.html#FRAGMENT and the first
entry is what the page shows before anything is typed.
"""
import json
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path


class Browser:
    def __init__(self, binary, profile):
        to_chrome_r, self.to_chrome = os.pipe()
        self.from_chrome, from_chrome_w = os.pipe()
        # Chromium reads commands on fd 3 and answers on fd 4.
        def fds():
            r, w = os.dup(to_chrome_r), os.dup(from_chrome_w)   # both above 4
            os.dup2(r, 3)
            os.dup2(w, 4)
        self.proc = subprocess.Popen(
            [binary, '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
             '--user-data-dir=' + profile, '--remote-debugging-pipe', 'about:blank'],
            preexec_fn=fds, close_fds=False,
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_chrome_r)
        os.close(from_chrome_w)
        self.next_id, self.buffer = 0, b''

    def call(self, method, params=None, session=None):
        self.next_id += 1
        message = {'id': self.next_id, 'method': method, 'params': params or {}}
        if session:
            message['sessionId'] = session
        os.write(self.to_chrome, json.dumps(message).encode() + b'\0')
        while True:
            while b'\0' not in self.buffer:
                chunk = os.read(self.from_chrome, 1 << 16)
                if not chunk:
                    raise RuntimeError('chromium closed the pipe')
                self.buffer += chunk
            raw, self.buffer = self.buffer.split(b'\0', 1)
            answer = json.loads(raw)
            if answer.get('id') == self.next_id:
                if 'error' in answer:
                    raise RuntimeError(f'{method}: {answer["error"]}')
                return answer['result']

    def close(self):
        try:
            self.call('Browser.close')
        except Exception:
            pass
        try:
            self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()


def main():
    binary, page, texts = sys.argv[1], sys.argv[2], sys.argv[3:]
    url = Path(page).resolve().as_uri()
    fragment = None
    if texts[:1] == ['--hash']:
        fragment, texts = texts[1], texts[2:]
        url += '#' + fragment
    with tempfile.TemporaryDirectory() as profile:
        b = Browser(binary, profile)
        try:
            target = b.call('Target.createTarget', {'url': url})['targetId']
            session = b.call('Target.attachToTarget', {'targetId': target, 'flatten': True})['sessionId']

            def js(expression):
                r = b.call('Runtime.evaluate', {'expression': expression, 'returnByValue': True}, session)
                return r['result'].get('value')

            # A page in front with focus, as a user's: timers run at full speed.
            b.call('Page.bringToFront', {}, session)
            b.call('Emulation.setFocusEmulationEnabled', {'enabled': True}, session)
            for _ in range(200):
                if js('document.readyState') == 'complete':
                    break
                time.sleep(0.05)
            def settled():
                # The page filters once typing pauses: read until it stays the same.
                time.sleep(0.3)
                last = None
                for _ in range(100):
                    now = js("""(function(){
                  function shown(el){return getComputedStyle(el).display!=='none'&&!el.closest('[hidden]');}
                  var s=[].filter.call(document.querySelectorAll('section.table'),shown);
                  var f=s.length?[].filter.call(s[0].querySelectorAll('tbody tr'),shown)
                     .map(function(r){return r.querySelector('.n').textContent;}):[];
                  return {tables:s.map(function(e){return e.id;}),fields:f,
                          typed:document.getElementById('filter').value};})()""")
                    if now == last:
                        break
                    last = now
                    time.sleep(0.2)
                return now

            results = [settled()] if fragment is not None else []
            for text in texts:
                js("var f=document.getElementById('filter');f.focus();f.select();")
                if text:
                    b.call('Input.insertText', {'text': text}, session)
                else:
                    b.call('Input.dispatchKeyEvent', {'type': 'keyDown', 'key': 'Backspace',
                                                      'windowsVirtualKeyCode': 8}, session)
                results.append(settled())
            json.dump(results, sys.stdout, ensure_ascii=False)
        finally:
            b.close()


main()
