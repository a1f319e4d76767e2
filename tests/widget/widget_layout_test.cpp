// SPDX-License-Identifier: MIT
#include "widget/grid_geometry.h"
#include "widget/twips.h"
#include "widget_fixture.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>

namespace vistrel::testing {
namespace {

class GridLayoutTest : public WidgetTest {
protected:
    TwipScale scale() const { return {widget.logicalDpiX(), widget.logicalDpiY()}; }
};

// At the design size, and at the application's (half again as large) with
// wide cells, a header or cell the percentages would cut takes its room from
// the names' column, which keeps its own header whole.
TEST_F(GridLayoutTest, NoHeaderOrCellIsCutWhileTheNamesHaveRoomToGive) {
    handOverProtocol();
    const QString wideItems =
        QStringLiteral("0A1F30\t8\tBE+\tWide\t\t1\t0\t1\tH\t1\tFFFFFFFFFFFFFFFF\r\n"
                       "0A1F40\t2\tLE\tTemperature\t\u00B0C\t1\t-40\t1\tP\t1\r\n");
    const int designWidth = widget.sizeHint().width();
    const std::pair<int, QString> cases[] = {
        {designWidth, QString()},
        {designWidth, kTwoItemLines},
        {designWidth * 3 / 2, wideItems},
    };
    for (const auto& [width, lines] : cases) {
        SCOPED_TRACE(std::to_string(width) + " " + lines.left(10).toStdString());
        paste(lines);
        widget.resize(width, 500);
        const QFontMetrics font = grid().horizontalHeader()->fontMetrics();
        int total = 0;
        for (int column = 0; column < 7; ++column) {
            const int shown = grid().columnWidth(column);
            total += shown;
            const QString header = model().headerData(column, Qt::Horizontal).toString();
            EXPECT_LT(font.horizontalAdvance(header), shown) << header.toStdString();
            for (int row = 1; row <= model().rowCount(); ++row) {
                EXPECT_LT(grid().fontMetrics().horizontalAdvance(cell(row, column)), shown)
                    << cell(row, column).toStdString() << " in column " << column;
            }
        }
        int percentTotal = 0;
        for (const int percent : {30, 20, 14, 10, 5, 10, 10}) {
            percentTotal +=
                scale().toPixelsX(columnWidthTwips(scale().toTwipsX(grid().width()), percent));
        }
        EXPECT_EQ(total, percentTotal) << "the names' column gave what the others took";
    }
}

// Rows beyond the grid's height bring a vertical scroll bar; the names give
// up its width, so no column slides under it.
TEST_F(GridLayoutTest, AVerticalScrollBarTakesItsRoomFromTheNames) {
    handOverProtocol();
    QString manyItems;
    for (int i = 0; i < 40; ++i) {
        manyItems += QStringLiteral("0A%1\t1\tLE+\tItem %1\t\t1\t0\t1\tD\t1\r\n").arg(1000 + i);
    }
    widget.resize(widget.sizeHint());
    paste(manyItems);
    ASSERT_TRUE(waitFor([&] { return grid().verticalScrollBar()->maximum() > 0; }));
    QCoreApplication::processEvents();
    int total = 0;
    for (int column = 0; column < 7; ++column) {
        total += grid().columnWidth(column);
    }
    EXPECT_LE(total, grid().viewport()->width());
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
