#include "widget_fixture.h"

#include <QActionGroup>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMetaObject>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace vistrel::testing {
namespace {

TEST_F(WidgetTest, EveryChildControlCarriesItsName) {
    const char* const names[] = {"Toolbar",        "ImagesToolBar", "Label1",       "lblMethode",
                                 "cb_methode",     "Label2",        "cblengthSize", "Label3",
                                 "txStartSession", "gridRun",       "StatusBar",    "BaseTemps",
                                 "ChooseFileName"};
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
    EXPECT_EQ(methods.count(), 4);
    EXPECT_EQ(methods.itemText(1), "DynamicallyDefined");
    EXPECT_EQ(methods.itemText(3), "ReadMemoryByAddressMerged");
    EXPECT_EQ(child<QLabel>("lblMethode").text(), "Methode");
    EXPECT_EQ(child<QLabel>("Label2").text(), "Length size");
    EXPECT_EQ(child<QLabel>("Label3").text(), "Session");

    const auto& timer = child<QTimer>("BaseTemps");
    EXPECT_EQ(timer.interval(), 1);
    EXPECT_EQ(timer.timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(WidgetTest, ToolbarHasTheTenEntriesInOrder) {
    struct Entry {
        const char* key; // nullptr: a separator
        const char* toolTip;
    };
    const Entry expected[] = {
        {"Open", "Ouvrir (Open)"},
        {"Save", "Sauver (Save)"},
        {nullptr, nullptr},
        {"Paste", "Coller le presse-papier (Paste clipboard)"},
        {"Copy", "Copier données dans le presse-papier (Copy data to clipboard)"},
        {nullptr, nullptr},
        {"Rec", "Enregistrer (Record)"},
        {nullptr, nullptr},
        {"Start", "Démarrage communication (Start com)"},
        {"Stop", "Arrêter communication (stop com)"},
    };
    const QList<QAction*> actions = child<QToolBar>("Toolbar").actions();
    ASSERT_EQ(actions.size(), std::size(expected));
    for (qsizetype i = 0; i < actions.size(); ++i) {
        const Entry& entry = expected[i];
        if (entry.key == nullptr) {
            EXPECT_TRUE(actions[i]->isSeparator()) << i;
            continue;
        }
        EXPECT_EQ(actions[i]->objectName(), entry.key);
        EXPECT_EQ(actions[i]->toolTip(), QString::fromUtf8(entry.toolTip));
        EXPECT_FALSE(actions[i]->icon().isNull()) << entry.key;
    }

    EXPECT_TRUE(button("Rec").isCheckable());
    EXPECT_EQ(button("Rec").actionGroup(), nullptr);
    ASSERT_NE(button("Start").actionGroup(), nullptr);
    EXPECT_EQ(button("Start").actionGroup(), button("Stop").actionGroup());
    EXPECT_TRUE(button("Start").actionGroup()->isExclusive());
    EXPECT_TRUE(button("Stop").isChecked());
    EXPECT_FALSE(button("Start").isChecked());
    EXPECT_FALSE(button("Open").isCheckable());
}

TEST_F(WidgetTest, StatusBarHasTheFourKeyedPanels) {
    struct Panel {
        const char* key;
        const char* toolTip;
        int widthTwips;
    };
    const Panel expected[] = {
        {"Status", "Status", 8165},
        {"Run", "", 400},
        {"Rec", "Enregistrement (Recording data)", 800},
        {"Com", "Communication (com)", 800},
    };
    const auto labels = child<QStatusBar>("StatusBar").findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), std::size(expected));
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const Panel& panel = expected[i];
        EXPECT_EQ(labels[i]->objectName(), panel.key);
        EXPECT_EQ(labels[i]->toolTip(), QString::fromUtf8(panel.toolTip));
        EXPECT_EQ(labels[i]->width(), qRound(panel.widthTwips * widget.logicalDpiX() / 1440.0))
            << panel.key;
        EXPECT_EQ(labels[i]->text(), "") << panel.key;
    }
}

TEST_F(WidgetTest, HandingOverAProtocolResetsTheControl) {
    auto protocol = handOverProtocol();

    EXPECT_EQ(widget.CurrentProtocol(), protocol);
    EXPECT_EQ(child<QLabel>("Label1").text(), "Scripted : test ECU");
    for (const char* key : {"Start", "Stop", "Rec"}) {
        EXPECT_FALSE(button(key).isEnabled()) << key;
    }
    EXPECT_TRUE(button("Paste").isEnabled());
    EXPECT_TRUE(button("Stop").isChecked());
    EXPECT_FALSE(button("Start").isChecked());
    EXPECT_FALSE(button("Rec").isChecked());

    const char* const headers[] = {
        "Nom (Name)", "Valeur (Value)",      "Unité (Unit)", "Adr (Addr)",
        "Lng",        "Affichage (Display)", "Mask"};
    const Qt::Alignment alignments[] = {Qt::AlignLeft | Qt::AlignVCenter,
                                        Qt::AlignRight | Qt::AlignVCenter,
                                        Qt::AlignLeft | Qt::AlignVCenter,
                                        Qt::AlignCenter,
                                        Qt::AlignCenter,
                                        Qt::AlignCenter,
                                        Qt::AlignCenter};
    ASSERT_EQ(model().columnCount(), 7);
    ASSERT_EQ(model().rowCount(), 1);
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(model().headerData(column, Qt::Horizontal).toString(),
                  QString::fromUtf8(headers[column]));
        EXPECT_EQ(model().index(0, column).data(Qt::TextAlignmentRole).toInt(),
                  alignments[column].toInt())
            << column;
        EXPECT_EQ(cell(1, column), "") << column;
    }
    EXPECT_EQ(grid().font().pointSize(), 10);
}

TEST_F(WidgetTest, AnEmptyHandOverKeepsTheCaptionAndTheProtocol) {
    auto protocol = handOverProtocol();
    paste(kTwoItemLines);
    ASSERT_EQ(model().rowCount(), 2);

    widget.setProtocol(nullptr);

    EXPECT_EQ(widget.CurrentProtocol(), protocol);
    EXPECT_EQ(child<QLabel>("Label1").text(), "Scripted : test ECU");
    EXPECT_EQ(model().rowCount(), 1);
    EXPECT_EQ(cell(1, 0), "");
}

TEST_F(WidgetTest, SettingCurrentProtocolChangesNothingElse) {
    widget.setCurrentProtocol(std::make_shared<ScriptedProtocol>());
    EXPECT_NE(widget.CurrentProtocol(), nullptr);
    EXPECT_EQ(child<QLabel>("Label1").text(), "");
    EXPECT_EQ(model().columnCount(), 0);
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
