// The HTML subset parser: blocks and runs for a table of documents (entities, white space,
// style nesting, block kinds, lists, tables, images, comments, raw-text elements, broken
// input), colours, attributes and the clamped table numbers.
#include "rich/HtmlParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// A compact picture of the model: P(...) H2(...) U1(...) O2(...) IMG(src) T<border>/<pad>[...].
// A run is its style letters (b i u), {rrggbbaa} for a colour other than black, @href, then
// its text in single quotes.
std::string dumpRuns(const std::vector<HtmlRun>& runs) {
    std::string out;
    for (const HtmlRun& r : runs) {
        if (!out.empty()) out += ' ';
        if (r.bold) out += 'b';
        if (r.italic) out += 'i';
        if (r.underline) out += 'u';
        if (r.color.r || r.color.g || r.color.b || r.color.a != 255) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "{%02x%02x%02x%02x}", r.color.r, r.color.g, r.color.b,
                          r.color.a);
            out += hex;
        }
        if (!r.href.empty()) out += "@" + r.href;
        out += "'" + r.text + "'";
    }
    return out;
}

std::string dump(const std::vector<HtmlBlock>& blocks) {
    std::string out;
    for (const HtmlBlock& b : blocks) {
        if (!out.empty()) out += ' ';
        switch (b.kind) {
            case HtmlBlockKind::Paragraph:
                out += "P(" + dumpRuns(b.runs) + ")";
                break;
            case HtmlBlockKind::Heading:
                out += "H" + std::to_string(b.level) + "(" + dumpRuns(b.runs) + ")";
                break;
            case HtmlBlockKind::ListItem:
                out += (b.ordered ? "O" : "U") + std::to_string(b.number) + "(" + dumpRuns(b.runs) +
                       ")";
                break;
            case HtmlBlockKind::Image:
                out += "IMG(" + b.src + ")";
                break;
            case HtmlBlockKind::Table:
                out += "T" + std::to_string(b.table.border) + "/" +
                       std::to_string(b.table.cellPadding) + "[";
                for (const HtmlRow& row : b.table.rows) {
                    out += "<";
                    for (size_t c = 0; c < row.size(); ++c)
                        out += (c ? "|" : "") + dumpRuns(row[c]);
                    out += ">";
                }
                out += "]";
                break;
        }
    }
    return out;
}

std::string parsed(const std::string& html) {
    HtmlParser parser;
    return dump(parser.parse(html));
}

struct Case {
    const char* html;
    const char* model;
};

TEST(HtmlParser, BuildsTheModel) {
    const Case cases[] = {
        // Empty documents and documents of tags only.
        {"", ""},
        {"<p></p><b></b><br/><ul></ul>", ""},
        {"   ", "P(' ')"},
        // Entities.
        {"A &amp; B", "P('A & B')"},
        {"&lt;p&gt; &quot;x&quot; &apos;y&apos;", "P('<p> \"x\" 'y'')"},
        {"a&nbsp;&nbsp;b", "P('a b')"},
        {"&copy; &#65; &#x41;", "P('&copy; &#65; &#x41;')"},
        {"AT&T; &ampx; &", "P('AT&T; &ampx; &')"},
        {"&amp", "P('&amp')"},
        {"x &verylongname; y", "P('x &verylongname; y')"},
        // White space collapses and is not trimmed.
        {" a \t\r\n b ", "P(' a b ')"},
        // Style nesting.
        {"x<b>y</b>z", "P('x' b'y' 'z')"},
        {"<b>1<i>2</b>3</i>4", "P(b'1' bi'2' '3' '4')"},
        {"<strong>s</b>t</strong>", "P(b's' b't')"},
        {"<em>e</em><u>u</u>", "P(i'e' u'u')"},
        {"</b>x", "P('x')"},
        {"<B>up</B>", "P(b'up')"},
        // Colours.
        {"<font color=\"#cc0000\">r</font>", "P({cc0000ff}'r')"},
        {"<font color=00ff0080>g</font>", "P({00ff0080}'g')"},
        {"<font color=\"#cc000\">r</font>", "P('r')"},
        {"<font color=red>r</font>", "P('r')"},
        {"<font color=\"#gg0000\">r</font>", "P('r')"},
        // Links.
        {"<a href=\"http://x/\">L</a>.", "P(u{0000eeff}@http://x/'L' '.')"},
        {"<a href=x>1<a>2</a>3</a>4", "P(u{0000eeff}@x'1' u{0000eeff}@x'2' u{0000eeff}@x'3' '4')"},
        {"<a>nolink</a>", "P(u{0000eeff}'nolink')"},
        // Block kinds; the kind stays after a closing tag.
        {"<h1>T</h1>bare<p>para</p>", "H1('T') H1('bare') P('para')"},
        {"<h2>a</h2><h3>b</h3>", "H2('a') H3('b')"},
        {"<p>one<br>two</p>", "P('one') P('two')"},
        {"<h4>x</h4>", "P('x')"},
        // Lists.
        {"<ol><li>a</li><li>b</li></ol><ul><li>c</li></ul>", "O1('a') O2('b') U1('c')"},
        {"<li>x", "U1('x')"},
        {"<ol><li>a<ul><li>b</ul><li>c</ol>", "O1('a') U1('b') U2('c')"},
        // Tables.
        {"<table border=\"1\" cellpadding=\"6\"><tr><th>A</th><th>B</th></tr>"
         "<tr><td>1</td><td>2</td></tr></table>",
         "T1/6[<'A'|'B'><'1'|'2'>]"},
        {"<table><tr><td>a<td>b", "T0/2[<'a'|'b'>]"},
        {"<table><tr><td>a</td><td>b", "T0/2[<'a'|'b'>]"},
        {"<td>x</td>", "P('x')"},
        {"<tr><td>x</td></tr>", "P('x')"},
        {"<table>pre<tr><td>c</td></tr></table>", "T0/2[<'c'>] P('pre')"},
        {"<table><tr><td>a</td></tr><table><tr><td>b</td></tr></table>", "T0/2[<'b'>]"},
        {"<table><tr><td></td></tr></table>", "T0/2[<>]"},
        {"<table><tr><td>a<td>b<tr><td>c</table>after", "T0/2[<'a'|'b'><'c'>] P('after')"},
        // Images.
        {"<p>x<img src=\"a.png\">y", "P('x') IMG(a.png) P('y')"},
        {"<img alt=x>", ""},
        {"<img src='b c.png'/>", "IMG(b c.png)"},
        // Comments, raw text, broken tags.
        {"a<!-- <b>x</b> -->b", "P('a' 'b')"},
        {"a<!-- never closed <b>x", "P('a')"},
        {"a < b", "P('a ' '< b')"},
        {"a<b", "P('a' '<b')"},
        {"<style>p { x }</p></style>after", "P('after')"},
        {"<SCRIPT>if (a<b) x();</Script >y</SCRIPT>z", "P('z')"},
        {"<script>never closed", ""},
        {"<>x</>y< >z", "P('x' 'y' 'z')"},
        {"</style>x", "P('x')"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsed(c.html), c.model) << c.html;
}

TEST(HtmlParser, ReadsAttributes) {
    const Case cases[] = {
        {"<a href=x.html>t</a>", "P(u{0000eeff}@x.html't')"},
        {"<a HREF = 'Q R' >t</a>", "P(u{0000eeff}@Q R't')"},
        {"<a href=\"unterminated>t</a>", "P(u{0000eeff}@unterminated't')"},
        {"<a href=one href=two>t</a>", "P(u{0000eeff}@two't')"},
        {"<a href>t</a>", "P(u{0000eeff}'t')"},
        {"<a title=\"x y\" href=\"z\">t</a>", "P(u{0000eeff}@z't')"},
        {"<a\thref=\"tab\">t</a>", "P(u{0000eeff}@tab't')"},
        {"<a href=\"Case\"/>t", "P(u{0000eeff}@Case't')"},
        {"<a =x href=y>t</a>", "P(u{0000eeff}@y't')"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsed(c.html), c.model) << c.html;
}

TEST(HtmlParser, ClampsTableNumbers) {
    const Case cases[] = {
        {"<table border=99999999999999999999 cellpadding=-5><tr><td>x</table>", "T1000/0[<'x'>]"},
        {"<table border=\" +3px\" cellpadding=2147483648><tr><td>x</table>", "T3/100[<'x'>]"},
        {"<table border=abc cellpadding=\"\"><tr><td>x</table>", "T0/0[<'x'>]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsed(c.html), c.model) << c.html;
    EXPECT_EQ(HtmlParser::parseInteger("  -42x"), -42);
    EXPECT_EQ(HtmlParser::parseInteger("99999999999999999999999"), int64_t(INT32_MAX) + 1);
}

TEST(HtmlParser, PassesInvalidUtf8Through) {
    EXPECT_EQ(parsed("<b>\xff\xc3</b>"), "P(b'\xff\xc3')");
}

TEST(HtmlParser, ParserIsReusable) {
    HtmlParser parser;
    parser.parse("<table><tr><td>open<b>bold");
    EXPECT_EQ(dump(parser.parse("plain")), "P('plain')");
}

}  // namespace
