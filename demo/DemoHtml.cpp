// The catalogue's HTML box (column 4): the sample document and its link reports.
#include "demo/DemoHtml.h"
#include "demo/Demo.h"

#include "rich/HtmlBox.h"

#include <string>

namespace {

constexpr SDL_Color kWhite{255, 255, 255, 255};

}  // namespace

std::string demoHtmlDocument() {
    return std::string(
               "<h1>Überschrift 1</h1><h2>Überschrift 2</h2><h3>Überschrift 3</h3>"
               "<p>Etwas <b>fetter</b>, <i>kursiver</i>, <u>unterstrichener</u> und "
               "<font color=\"#cc0000\">roter</font> Text mit einem "
               "<a href=\"https://www.example.com/\">Link</a>.<br>"
               "Text mit der Maus markieren, Strg+C kopiert ihn.</p>"
               "<ul><li>Erster Punkt</li><li>Zweiter Punkt</li></ul>"
               "<ol><li>Schritt eins</li><li>Schritt zwei</li></ol>"
               "<table border=\"1\" cellpadding=\"6\"><tr><th>Spalte A</th><th>Spalte B</th></tr>"
               "<tr><td>1</td><td>2</td></tr></table>"
               "<p>Bild aus einer Datei:</p><img src=\"tovik_small.png\">"
               "<p>Bild als Base64 im Text:</p><img src=\"data:image/png;base64,") +
           demoHtmlImageBase64() + "\">";
}

void Demo::buildHtmlBox() {
    GuiWindow* root = mainRoot();
    if (!root || !mainWindow) return;
    addSectionTitle(1250, 651, 640, "HTML-Anzeige (GuiHtmlBox)");
    auto* html =
        new GuiHtmlBox(nullptr, -1, 1250, 669, 640, 259, kWhite, mainWindow->sdlRenderer());
    root->addChild(html);
    named(html, "HTML-Subset-Anzeige", "html");
    html->onLinkClicked = [this](const std::string& href) { appendLog("Link: " + href); };
    html->setHtml(demoHtmlDocument());
}
