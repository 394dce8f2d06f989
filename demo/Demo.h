// The demo application: the main window with its catalogue of every control, the event log,
// the dialogs reached from menus and function keys, and the per-frame animation.
#pragma once

#include "core/Engine.h"
#include "core/Window.h"

#include <array>
#include <deque>
#include <string>
#include <vector>

class GuiButton;
class GuiButtonGroup;
class GuiGauge;
class GuiLabel;
class GuiMenuBar;
class GuiStatusBar;
class GuiTextCtrl;
class GuiImagePanel;
class GuiCairoPanel;
class GuiSearchCtrl;
class GuiListCtrl;
class GuiMenu;
class DemoRunner;
class DemoRecorder;

// Gives a catalogue control its tooltip and its script name; returns it for chaining.
template <typename T>
T* named(T* obj, const char* tooltip, const char* name) {
    obj->setTooltip(tooltip);
    obj->setName(name);
    return obj;
}

// The rows of a "Zu&letzt verwendet" submenu, shared by the main window and the test dialog.
void fillRecentFiles(GuiMenu* submenu);

class Demo : public ZazOvadir {
public:
    static constexpr int kWidth = 1900;
    static constexpr int kHeight = 960;
    static constexpr SDL_Color kWindowColor{200, 200, 200, 255};
    // Lower ends of the four catalogue columns as laid out.
    static constexpr std::array<int, 4> kLayoutColumnEnds{712, 805, 928, 928};

    Demo();
    ~Demo() override;

    // Start-up steps 3 to 8: main window, menu bar, catalogue, layout check, status bar, focus.
    bool build();

    void renderWindow(AppWindow* window) override;
    void dispatchEvent(AppWindow* window, GuiEvent& e) override;

    void appendLog(const std::string& line);
    void logEvent(const GuiEvent& e);
    bool handleMenuCommand(AppWindow* window, uint32_t itemId);
    void logToggles(GuiButton* button);
    void addSectionTitle(int x, int y, int width, const std::string& text);
    // Writes the layout-check lines for the given column ends; returns how many it wrote.
    static int checkLayout(const std::array<int, 4>& columnEnds);

    GuiWindow* mainRoot() const;

    // Dialogs reached from the menus and function keys; none of them blocks.
    void showOpenDialog(AppWindow* window, const std::vector<std::string>& filters);
    void showSaveDialog(AppWindow* window);
    void showColorDialog(AppWindow* window);
    void openTestDialog(AppWindow* window);
    // The search field's change callable: filters the fruit list.
    void filterSearchResults(GuiSearchCtrl* search, GuiListCtrl* results);

    // Fields of the demo.
    GuiButtonGroup* toggleGroup = nullptr;
    GuiGauge* gaugeH = nullptr;
    GuiGauge* gaugeV = nullptr;

    // Single instances set during construction.
    GuiMenuBar* menuBar = nullptr;
    GuiStatusBar* statusBar = nullptr;
    GuiLabel* counterLabel = nullptr;
    uint32_t clickCounter = 0;
    GuiTextCtrl* eventLog = nullptr;
    std::deque<std::string> logLines;
    GuiImagePanel* movingImage = nullptr;
    int imageBaseX = 375;
    int imageAmplitude = 65;
    GuiCairoPanel* cairoPanel = nullptr;
    GuiTextCtrl* multiLineText = nullptr;
    GuiTextCtrl* singleLineText = nullptr;
    double animPercent = 0;
    // The script runner, constructed at start-up from the environment (may stay idle).
    DemoRunner* runner = nullptr;
    // The recorder of GUI_DEMO_RECORD, when recording (not owned).
    DemoRecorder* recorder = nullptr;

private:
    // Catalogue builders, one per part of the window; each issue fills in its own.
    void buildMenuBar();
    void buildColumn1();
    void buildComboSection();  // column 1's "ComboBox" section, between the panel and the sliders
    void buildColumn2();
    void buildImageSection();   // column 2's "image" panel, after the search results
    void buildScrolledPanel();  // column 2's last section
    void buildColumn3();
    void buildNotebook();  // column 3's notebook and splitter sections, after the text fields
    void buildSplitter();
    void buildCairoSection();  // column 3's "cairo" panel, after the event log
    void buildColumn4();
    void buildTreeAndProperties();  // column 4's tree list and property grid
    void buildHtmlBox();  // column 4's "HTML-Anzeige" section
    void buildStatusBar();
    void focusInitialEditor();

    void animate(AppWindow* window);
    // Swings the image and, when the cairo panel is due, paints its scene; s = sin(t / 300 ms).
    void animatePanels(double s);
    void dispatchCommand(AppWindow* window, GuiEvent& e);
    void dispatchInput(AppWindow* window, GuiEvent& e);
    void dispatchModal(AppWindow* window, GuiEvent& e);
    // Window bookkeeping from focus and click events; false for a close event (stop there).
    bool trackWindowState(const GuiEvent& e);
    void handleDialogEnded(AppWindow* window, GuiEvent& e);
    // Writes the log line of an ended file dialog; false when the event is from another source.
    bool logFileDialogEnded(const GuiEvent& e);
    void handleFunctionKey(AppWindow* window, SDL_Keycode key);
};
