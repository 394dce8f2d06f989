// Sizers: geometry of widgets inside a rectangle (rows, columns and tables).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class GuiObject;

// Option flags of a sizer item (kept in its int32 flags field).
enum : int32_t {
    SIZER_LEFT = 0x1,
    SIZER_RIGHT = 0x2,
    SIZER_TOP = 0x4,
    SIZER_BOTTOM = 0x8,
    SIZER_EXPAND = 0x10,
};

class GuiSizer {
public:
    struct Item {
        GuiObject* object = nullptr;      // not owned
        std::unique_ptr<GuiSizer> sizer;  // owned nested sizer
        int32_t proportion = 0;
        int32_t border = 0;
        int32_t flags = 0;
    };

    GuiSizer() = default;
    GuiSizer(const GuiSizer&) = delete;
    GuiSizer& operator=(const GuiSizer&) = delete;
    virtual ~GuiSizer() = default;
    virtual void calcMin(int& w, int& h) = 0;
    virtual void layout(int x, int y, int w, int h) = 0;

    void add(GuiObject* object, int proportion, int flags, int border);
    // Takes ownership of the nested sizer.
    void addSizer(GuiSizer* sizer, int proportion, int flags, int border);
    // Forgets the items that place object, in nested sizers too (the object is going away).
    void remove(GuiObject* object);

    std::vector<Item> items;

protected:
    static void itemMin(Item& item, int& w, int& h);
    static void place(Item& item, int x, int y, int w, int h, bool expandH, bool expandV);
};

class GuiBoxSizer : public GuiSizer {
public:
    GuiBoxSizer(int orientation, int gap) : orientation(orientation), gap(gap) {}
    void calcMin(int& w, int& h) override;
    void layout(int x, int y, int w, int h) override;

    int32_t orientation = 0;  // 0 row, anything else column
    int32_t gap = 0;
};

class GuiGridSizer : public GuiSizer {
public:
    GuiGridSizer(int rows, int cols, int vgap, int hgap)
        : rows(rows), cols(cols), vgap(vgap), hgap(hgap) {}
    void calcMin(int& w, int& h) override;
    void layout(int x, int y, int w, int h) override;

    // Effective column and row counts for the current number of items.
    int columnCount() const;
    int rowCount() const;

    int32_t rows = 0;
    int32_t cols = 0;
    int32_t vgap = 0;
    int32_t hgap = 0;

private:
    void trackSizes(std::vector<int>& widths, std::vector<int>& heights);
};
