#include "toolkit/cdrawcontext.h"
#include "toolkit/cframe.h"
#include "toolkit/gdiplus_globals.h"

#include "support/json_value.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using namespace VSTGUI;

using tarvel::test::json;

// Counts its draws and fills its area, so a render shows where it is.
class ProbeView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext* context) override
    {
        ++draws;
        if (auto* gdiplus = dynamic_cast<GdiplusDrawContext*>(context)) {
            Gdiplus::SolidBrush brush(Gdiplus::Color(0xFFFF0000));
            const CRect& r = getViewSize();
            gdiplus->getGraphics()->FillRectangle(&brush, float(r.left), float(r.top), float(r.getWidth()),
                                                  float(r.getHeight()));
        }
        setDirty(false);
    }
    int draws = 0;
};

TEST(CViewSetProperty, SizeMovesAndResizesAndSkipsAnUnchangedRectangle)
{
    CFrame frame(CRect(0, 0, 200, 100), nullptr);
    auto* view = new ProbeView(CRect(0, 0, 8, 8));
    frame.addView(view);
    view->setDirty(false);

    view->setProperty("size", json("[10, 20, 110, 40]"));
    EXPECT_EQ(view->getViewSize(), CRect(10, 20, 110, 40));
    EXPECT_TRUE(view->isDirty());
    EXPECT_EQ(frame.getInvalidArea(), CRect(0, 0, 110, 40)) << "old and new areas are invalidated";

    view->setDirty(false);
    view->setProperty("size", json("[10, 20, 110, 40]"));
    EXPECT_FALSE(view->isDirty()) << "the same rectangle causes no redraw";
}

TEST(CViewSetProperty, RejectsShortArraysWrongTypesAndOtherNames)
{
    CView view(CRect(1, 2, 3, 4));
    try {
        view.setProperty("size", json("[10, 20]"));
        FAIL();
    } catch (const std::out_of_range& error) {
        EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
    }
    EXPECT_THROW(view.setProperty("size", json("{\"a\": 1}")), std::runtime_error);
    EXPECT_THROW(view.setProperty("size", json("[1, 2, \"3\", 4]")), std::runtime_error);
    try {
        view.setProperty("colour", json("[1,2]"));
        FAIL();
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "setProperty colour [1,2] not found");
    }
    EXPECT_THROW(view.setProperty("Size", json("[0,0,1,1]")), std::logic_error) << "names are case-sensitive";
    EXPECT_EQ(view.getViewSize(), CRect(1, 2, 3, 4));
}

TEST(CFrameTest, RendersChildrenInOrderIntoTheBackBuffer)
{
    GDIPlusGlobals::enter();
    {
        CFrame frame(CRect(0, 0, 40, 30), nullptr);
        frame.setBackgroundColor(0xFF7F7F7F);
        auto* view = new ProbeView(CRect(10, 10, 20, 20));
        frame.addView(view);
        EXPECT_EQ(frame.getViewAt(CPoint(15, 15)), view);
        EXPECT_EQ(frame.getViewAt(CPoint(25, 15)), nullptr);

        Gdiplus::Bitmap* bitmap = frame.render();
        ASSERT_NE(bitmap, nullptr);
        Gdiplus::Color color;
        bitmap->GetPixel(15, 15, &color);
        EXPECT_EQ(color.GetValue(), 0xFFFF0000u);
        bitmap->GetPixel(5, 5, &color);
        EXPECT_EQ(color.GetValue(), 0xFF7F7F7Fu);
        EXPECT_EQ(view->draws, 1);
        EXPECT_TRUE(frame.getInvalidArea().isEmpty());
    }
    GDIPlusGlobals::exit();
}

TEST(CRectTest, UniteTreatsEmptyRectanglesAsNothing)
{
    CRect area;
    area.unite(CRect(5, 5, 10, 10));
    EXPECT_EQ(area, CRect(5, 5, 10, 10));
    area.unite(CRect(0, 8, 6, 20));
    EXPECT_EQ(area, CRect(0, 5, 10, 20));
    area.unite(CRect(50, 50, 50, 60));
    EXPECT_EQ(area, CRect(0, 5, 10, 20));
}

} // namespace
