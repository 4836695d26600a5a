#include "format_writers.h"
#include "output_file.h"

namespace dd::exporting {

QString htmlText(const QString &value)
{
    QString out;
    out.reserve(value.size() + 8);
    for (QChar c : value) {
        switch (c.unicode()) {
        case '&': out += QStringLiteral("&amp;"); break;
        case '<': out += QStringLiteral("&lt;"); break;
        case '>': out += QStringLiteral("&gt;"); break;
        case '"': out += QStringLiteral("&quot;"); break;
        case '\'': out += QStringLiteral("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// Everything the page needs is in it: no external script, style or font.
const char kStyle[] = R"(<style>
body{font-family:sans-serif;margin:0 2em 2em;color:#222}
header{position:sticky;top:0;background:#fff;padding:.6em 0;border-bottom:1px solid #ccc;z-index:1}
h1{font-size:1.4em;margin:.2em 0}
#filter{width:30em;max-width:90%;font-size:1em;padding:.2em}
#count{margin-left:1em;color:#666}
table{border-collapse:collapse;margin:.4em 0 1em}
th,td{border:1px solid #bbb;padding:2px 6px;text-align:left;vertical-align:top;white-space:pre-wrap}
th{background:#eee}
h2{margin-top:1.4em;border-bottom:2px solid #888}
h3{margin-bottom:.2em}
.desc{font-weight:normal;margin-left:.6em}
.info{margin:.2em 0;color:#555}
[hidden]{display:none!important}
section.table{content-visibility:auto;contain-intrinsic-size:auto 30em}
</style>)";

// The filter: a table stays when its name or description holds the text
// (with all its fields); otherwise the fields whose name or meaning hold
// it stay, with their table. Typing filters once it pauses; "#filter=text"
// in the address filters at load: escapes that do not decode (a lone "%")
// stay as they are.
const char kScript[] = R"(<script>
(function(){
var box=document.getElementById('filter'),count=document.getElementById('count');
var tables=null;
function low(el){return el?el.textContent.toLowerCase():'';}
function index(){
 tables=[];
 document.querySelectorAll('section.table').forEach(function(s){
  var rows=[];
  s.querySelectorAll('tbody tr').forEach(function(r){rows.push({el:r,text:low(r.querySelector('.n'))+'\n'+low(r.querySelector('.m'))});});
  tables.push({el:s,text:low(s.querySelector('.tn'))+'\n'+low(s.querySelector('.desc')),rows:rows,
   toc:document.getElementById('toc-'+s.id)});
 });
}
function show(el,on){if(el&&el.hidden===on)el.hidden=!on;}
function apply(){
 if(!tables)index();
 var q=box.value.toLowerCase(),shown=0;
 tables.forEach(function(t){
  var whole=q===''||t.text.indexOf(q)>=0,any=whole;
  t.rows.forEach(function(r){var on=whole||r.text.indexOf(q)>=0;if(on)any=true;show(r.el,on);});
  show(t.el,any);show(t.toc,any);if(any)shown++;
 });
 document.querySelectorAll('section.module,.toc-module').forEach(function(m){
  show(m,m.querySelector('section.table:not([hidden]),tr.toc-row:not([hidden])')!==null);
 });
 count.textContent='显示 '+shown+' / '+tables.length+' 个表';
}
var pending=0;
box.addEventListener('input',function(){clearTimeout(pending);pending=setTimeout(apply,150);});
function decoded(s){
 return s.replace(/(%[0-9a-fA-F]{2})+/g,function(run){try{return decodeURIComponent(run);}catch(e){return run;}});
}
function fromHash(){
 var h=location.hash;
 if(h.indexOf('#filter=')===0){box.value=decoded(h.substring(8));apply();}
}
window.addEventListener('hashchange',fromHash);
fromHash();
})();
</script>)";

QString moduleTitle(const QString &module)
{
    return module.isEmpty() ? QStringLiteral("（未指定模块）") : htmlText(module);
}

}  // namespace

void writeHtml(OutputFile &out, const ExportContent &content, const WriteProgress &progress)
{
    const auto groups = groupByModule(content);
    const QString title = htmlText(documentTitle(content.heading));
    out.write(QStringLiteral("<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                             "<meta name=\"viewport\" content=\"width=device-width\">\n<title>")
              + title + QStringLiteral("</title>\n"));
    out.write(kStyle);
    out.write(QStringLiteral("\n</head>\n<body>\n<header>\n<h1>") + title + QStringLiteral("</h1>\n<p class=\"info\">")
              + htmlText(headingLine(content.heading))
              + QStringLiteral("</p>\n<label>筛选：<input id=\"filter\" type=\"search\" autocomplete=\"off\" "
                               "placeholder=\"表名、字段名、含义或说明\" aria-label=\"筛选\"></label>"
                               "<span id=\"count\"></span>\n</header>\n"));

    // Contents: by module, the table list with links to the sections.
    const QStringList tableHead = tableColumns() + content.tableExtraColumns();
    QString toc = QStringLiteral("<nav id=\"toc\">\n<h2>目录</h2>\n");
    for (const ModuleGroup &group : groups) {
        toc += QStringLiteral("<div class=\"toc-module\">\n<h3>") + moduleTitle(group.module)
               + QStringLiteral("</h3>\n<table>\n<thead><tr>");
        for (const QString &c : tableHead)
            toc += QStringLiteral("<th>") + c + QStringLiteral("</th>");
        toc += QStringLiteral("</tr></thead>\n<tbody>\n");
        for (int position : group.positions) {
            const DictionaryTable &t = content.table(position);
            const QString id = QStringLiteral("t%1").arg(position + 1);
            toc += QStringLiteral("<tr class=\"toc-row\" id=\"toc-") + id + QStringLiteral("\"><td><a href=\"#")
                   + id + QStringLiteral("\">") + htmlText(t.name) + QStringLiteral("</a></td><td>")
                   + htmlText(t.description) + QStringLiteral("</td><td>") + htmlText(t.module)
                   + QStringLiteral("</td><td>") + QString::number(t.fieldCount)
                   + QStringLiteral("</td></tr>\n");
        }
        toc += QStringLiteral("</tbody>\n</table>\n</div>\n");
        out.write(toc);
        toc.clear();
    }
    out.write("</nav>\n<main>\n");

    const auto &fields = content.dictionary->fields;
    int written = 0;
    for (const ModuleGroup &group : groups) {
        out.write(QStringLiteral("<section class=\"module\">\n<h2>") + moduleTitle(group.module)
                  + QStringLiteral("</h2>\n"));
        for (int position : group.positions) {
            const DictionaryTable &t = content.table(position);
            QString s = QStringLiteral("<section class=\"table\" id=\"t%1\">\n<h3><span class=\"tn\">")
                            .arg(position + 1)
                        + htmlText(t.name) + QStringLiteral("</span><span class=\"desc\">")
                        + htmlText(t.description) + QStringLiteral("</span></h3>\n<p class=\"info\">所属模块：")
                        + htmlText(t.module) + QStringLiteral("　字段数：") + QString::number(t.fieldCount)
                        + QStringLiteral("</p>\n<table class=\"fields\">\n<thead><tr><th>序号</th><th>字段名称</th>"
                                         "<th>字段含义</th><th>字段类型</th>");
            for (const QString &c : content.fieldExtraColumns())
                s += QStringLiteral("<th>") + c + QStringLiteral("</th>");
            s += QStringLiteral("</tr></thead>\n<tbody>\n");
            for (int f = t.firstField; f < t.firstField + t.fieldCount; ++f) {
                const DictionaryField &field = fields[f];
                s += QStringLiteral("<tr><td>") + QString::number(field.number)
                     + QStringLiteral("</td><td class=\"n\">") + htmlText(field.name)
                     + QStringLiteral("</td><td class=\"m\">") + htmlText(field.meaning)
                     + QStringLiteral("</td><td>") + htmlText(field.type) + QStringLiteral("</td>");
                for (const QString &extra : content.fieldExtras(f))
                    s += QStringLiteral("<td>") + htmlText(extra) + QStringLiteral("</td>");
                s += QStringLiteral("</tr>\n");
            }
            s += QStringLiteral("</tbody>\n</table>\n</section>\n");
            out.write(s);
            written += t.fieldCount;
            if (progress && !progress(written))
                throw exportCancelled();
        }
        out.write("</section>\n");
    }
    out.write("</main>\n");
    out.write(kScript);
    out.write("\n</body>\n</html>\n");
}

}  // namespace dd::exporting
