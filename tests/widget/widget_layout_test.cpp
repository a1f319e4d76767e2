// SPDX-License-Identifier: MIT
#include "widget/grid_geometry.h"
#include "widget/twips.h"
#include "widget_fixture.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QToolBar>

namespace vistrel::testing {
namespace {

class GridLayoutTest : public WidgetTest {
protected:
    TwipScale scale() const { return {widget.logicalDpiX(), widget.logicalDpiY()}; }
};

TEST_F(GridLayoutTest, ColumnWidthsFollowTheWidthOfTheControl) {
    handOverProtocol();
    struct Case {
        int gridTwips;
        int columnTwips[7];
    };
    const Case cases[] = {
        {10000, {3000, 2000, 1400, 1000, 500, 1000, 1000}},
        {20000, {6000, 4000, 2800, 2000, 1000, 2000, 2000}},
        {6000, {1800, 1200, 840, 600, 300, 600, 600}},
    };
    for (const Case& c : cases) {
        // The control is as wide as its grid; pixels round the twips.
        widget.resize(scale().toPixelsX(c.gridTwips), 400);
        for (int column = 0; column < 7; ++column) {
            EXPECT_EQ(grid().columnWidth(column), scale().toPixelsX(c.columnTwips[column]))
                << c.gridTwips << " twips, column " << column;
        }
    }
}

TEST_F(GridLayoutTest, GridFillsTheSpaceBetweenTheSettingsAndTheStatusBar) {
    handOverProtocol();
    widget.resize(800, 500);

    const QRect place = grid().geometry();
    const int statusBarTop = child<QStatusBar>("StatusBar").geometry().top();
    EXPECT_EQ(place.top(), scale().toPixelsY(1080));
    EXPECT_EQ(place.left(), 0);
    EXPECT_EQ(place.width(), 800);
    EXPECT_NEAR(place.bottom() + 1, statusBarTop, 1);
    EXPECT_EQ(child<QStatusBar>("StatusBar").geometry().bottom(), 499);
    EXPECT_EQ(child<QToolBar>("Toolbar").geometry().top(), 0);
    EXPECT_LE(child<QToolBar>("Toolbar").geometry().bottom(), scale().toPixelsY(600));
    EXPECT_EQ(grid().font().pointSize(), 10);
    // Too small for a grid: one of no height.
    widget.resize(800, scale().toPixelsY(1200));
    EXPECT_EQ(grid().height(), 0);
}

TEST(GridGeometry, ColumnWidthsArePercentagesWithHalvesRoundedToEven) {
    // {grid width, percentage, column width}: 0.5, 1.5, 2.5, 3.5, 7.5 and 1.4.
    const int cases[][3] = {{10, 5, 0},  {30, 5, 2},  {25, 10, 2},
                            {25, 14, 4}, {25, 30, 8}, {10, 14, 1}};
    for (const auto& [gridWidth, percent, width] : cases) {
        EXPECT_EQ(columnWidthTwips(gridWidth, percent), width) << gridWidth << " x " << percent;
    }
}

TEST_F(GridLayoutTest, SettingFieldsKeepTheirDesignPlacesAndShowTheirTextsWhole) {
    handOverProtocol();
    struct Field {
        const char* name;
        int leftTwips;
    };
    const Field row[] = {{"Label1", 0},           {"lblMethode", 3240},   {"cb_methode", 4320},
                         {"Label2", 7200},        {"cblengthSize", 8040}, {"Label3", 9240},
                         {"txStartSession", 9840}};
    int textEnd = 0;
    for (const Field& field : row) {
        const QWidget& control = child<QWidget>(field.name);
        const int natural = control.sizeHint().width();
        EXPECT_GE(control.geometry().left(), scale().toPixelsX(field.leftTwips)) << field.name;
        EXPECT_GE(control.geometry().left(), textEnd) << field.name;
        if (qobject_cast<const QLabel*>(&control) != nullptr) {
            EXPECT_GE(control.width(), natural) << field.name;
            textEnd = control.geometry().left() + natural;
        } else {
            textEnd = control.geometry().right() + 1;
        }
    }
    EXPECT_EQ(child<QLabel>("lblMethode").geometry().left(), scale().toPixelsX(3240));
}

} // namespace
} // namespace vistrel::testing
