// SPDX-License-Identifier: MIT
#include "widget_fixture.h"

#include <QActionGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMetaObject>
#include <QStatusBar>
#include <QToolBar>

namespace vistrel::testing {
namespace {

TEST_F(WidgetTest, EveryChildControlCarriesItsName) {
    const char* const names[] = {"Toolbar",      "ImagesToolBar", "Label1",
                                 "lblMethode",   "cb_methode",    "Label2",
                                 "cblengthSize", "Label3",        "txStartSession",
                                 "gridRun",      "StatusBar",     "ChooseFileName"};
    for (const char* name : names) {
        EXPECT_NE(widget.findChild<QObject*>(QString::fromUtf8(name)), nullptr) << name;
    }
}

TEST_F(WidgetTest, StartsWithTheDefaultSettings) {
    EXPECT_EQ(child<QLineEdit>("txStartSession").text(), "10A0");
    EXPECT_EQ(widget.StartSession(), "10A0");
    EXPECT_EQ(child<QComboBox>("cblengthSize").currentText(), "1 byte");
    const auto& methods = child<QComboBox>("cb_methode");
    EXPECT_EQ(methods.currentText(), "ReadMemoryByAddress");
    EXPECT_EQ(methods.count(), 5);
    EXPECT_EQ(methods.itemText(1), "DynamicallyDefined");
    EXPECT_EQ(methods.itemText(3), "ReadMemoryByAddressMerged");
    EXPECT_EQ(methods.itemText(4), "ReadDataByPeriodicIdentifier");
    EXPECT_EQ(child<QLabel>("lblMethode").text(), "Methode");
    EXPECT_EQ(child<QLabel>("Label2").text(), "Length size");
    EXPECT_EQ(child<QLabel>("Label3").text(), "Session");
}

TEST_F(WidgetTest, ScriptHostsReachTheInterfaceByName) {
    EXPECT_TRUE(widget.setProperty("StartSession", QStringLiteral("1081")));
    EXPECT_EQ(child<QLineEdit>("txStartSession").text(), "1081");
    EXPECT_EQ(widget.property("StartSession").toString(), "1081");

    widget.setCurrentProtocol(std::make_shared<ScriptedProtocol>());
    EXPECT_TRUE(QMetaObject::invokeMethod(&widget, "GridCreate"));
    EXPECT_EQ(model().columnCount(), 7);
    EXPECT_TRUE(QMetaObject::invokeMethod(&widget, "GridSetColWidth"));
    EXPECT_TRUE(QMetaObject::invokeMethod(&widget, "Abort"));
}

} // namespace
} // namespace vistrel::testing
