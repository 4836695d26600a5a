#!/usr/bin/python3
"""Reads an exported file back with readers that owe nothing to the writer:
Python's csv module, openpyxl, Python-Markdown, cmark-gfm (GitHub's flavour:
tables, strike-through, autolinks) and Python's HTML parser.
Prints what it found as JSON: {"tables": [[...]], "fields": [[...]], ...}.

    read_export.py csv|tsv|xlsx|md|gfm|html FILE
"""
import csv
import io
import json
import subprocess
import sys
from html.parser import HTMLParser


class Tables(HTMLParser):
    """Every <table> as rows of cell texts; <br> is a line break. Also the
    texts of h3 headings and the number of table sections."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tables, self.headings = [], []
        self.cell = self.row = None
        self.in_h3 = False
        self.sections = 0

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == 'table':
            self.tables.append([])
        elif tag == 'tr':
            self.row = []
        elif tag in ('td', 'th'):
            self.cell = ''
        elif tag == 'br' and self.cell is not None:
            self.cell += '\n'
        elif tag == 'h3':
            self.in_h3 = True
            self.headings.append('')
        elif tag == 'section' and 'table' in (a.get('class') or '').split():
            self.sections += 1

    def handle_endtag(self, tag):
        if tag in ('td', 'th') and self.cell is not None:
            self.row.append(self.cell)
            self.cell = None
        elif tag == 'tr' and self.row is not None:
            self.tables[-1].append(self.row)
            self.row = None
        elif tag == 'h3':
            self.in_h3 = False

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data
        if self.in_h3:
            self.headings[-1] += data


def parse_html(text):
    p = Tables()
    p.feed(text)
    p.close()
    return p


def main():
    kind, path = sys.argv[1], sys.argv[2]
    out = {}
    if kind == 'csv':
        raw = open(path, 'rb').read()
        out['bom'] = raw.startswith(b'\xef\xbb\xbf')
        rows = list(csv.reader(io.StringIO(raw.decode('utf-8-sig'), newline='')))
        out['header'], out['fields'] = rows[0], rows[1:]
    elif kind == 'tsv':
        # As a spreadsheet reads a tab-separated paste.
        out['rows'] = list(csv.reader(io.StringIO(open(path, encoding='utf-8', newline='').read(), newline=''),
                                      dialect='excel-tab'))
    elif kind == 'xlsx':
        import openpyxl
        wb = openpyxl.load_workbook(path)
        out['sheets'] = wb.sheetnames

        def sheet(ws):
            return [['' if c.value is None else c.value for c in row] for row in ws.iter_rows(min_row=3)]

        t, f = wb['数据表'], wb['字段']
        out['heading'] = t['A1'].value
        out['header'] = [c.value for c in t[2]] + ['|'] + [c.value for c in f[2]]
        out['bold'] = all(c.font.b for c in t[2]) and all(c.font.b for c in f[2])
        out['frozen'] = [t.freeze_panes, f.freeze_panes]
        out['filters'] = [t.auto_filter.ref, f.auto_filter.ref]
        out['tables'] = sheet(t)
        out['fields'] = sheet(f)
        out['links'] = [c.hyperlink.location if c.hyperlink else None
                        for c in t['A'][2:]]
        # Every sheet, for lists longer than a sheet holds.
        out['sheetRows'] = {ws.title: sheet(ws) for ws in wb.worksheets}
        out['sheetLinks'] = {ws.title: [c.hyperlink.location if c.hyperlink else None
                                        for c in ws['A'][2:]] for ws in wb.worksheets}
    elif kind in ('md', 'gfm'):
        text = open(path, encoding='utf-8').read()
        if kind == 'md':
            import markdown
            html = markdown.markdown(text, extensions=['tables'])
        else:
            html = subprocess.run(['cmark-gfm', '--unsafe', '-e', 'table', '-e', 'strikethrough',
                                   '-e', 'autolink', '-e', 'tagfilter'],
                                  input=text, capture_output=True, text=True, check=True).stdout
        p = parse_html(html)
        out['tables'] = p.tables[0][1:]
        out['fieldTables'] = [t[1:] for t in p.tables[1:]]
        out['headings'] = p.headings
    elif kind == 'html':
        # The contents' tables first, then one table per table section.
        p = parse_html(open(path, encoding='utf-8').read())
        contents = len(p.tables) - p.sections
        out['tables'] = [r for t in p.tables[:contents] for r in t[1:]]
        out['fieldTables'] = [t[1:] for t in p.tables[contents:]]
    json.dump(out, sys.stdout, ensure_ascii=False)


main()
