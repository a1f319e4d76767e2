// SPDX-License-Identifier: MIT
#include "modal_answerer.h"
#include "widget/file_dialogs.h"
#include "widget_fixture.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

namespace vistrel::testing {
namespace {

TEST(QtNameFilters, PairsBecomeQtFilters) {
    struct Case {
        const char* filter;
        QStringList expected;
    };
    const Case cases[] = {
        {"Orvalen (*.xml)|*.xml|All files|*.*", {"Orvalen (*.xml)", "All files (*)"}},
        {"Text|*.txt;*.tsv", {"Text (*.txt *.tsv)"}},
        {"Lonely description", {}},
        {"Orvalen (*.xml)|*.xml|Dangling", {"Orvalen (*.xml)"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(qtNameFilters(c.filter), c.expected) << c.filter;
    }
}

// Types a path into the file dialog and presses its accept button, as a
// user would; a path put there while the name box has the focus would not
// show, so the box is filled directly.
void choose(QDialog& dialog, const QString& path) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(path);
    dialog.accept();
}

class ConfigDialogTest : public WidgetTest {
protected:
    ConfigDialogTest() { handOverProtocol(); }

    QString path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }

    QTemporaryDir folder;
};

TEST_F(ConfigDialogTest, SaveAndOpenGoThroughTheFileDialog) {
    paste(kTwoItemLines);
    child<QComboBox>("cblengthSize").setCurrentIndex(1);
    const QString file = path("items.xml");
    QFileDialog* shown = nullptr;
    {
        ModalAnswerer answerer([&](QDialog& dialog) {
            shown = qobject_cast<QFileDialog*>(&dialog);
            choose(dialog, path("items"));
        });
        button("Save").trigger();
        ASSERT_EQ(answerer.dialogsAnswered(), 1);
    }
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->objectName(), "ChooseFileName");
    EXPECT_EQ(shown->windowTitle(), "Sauver (Save)");
    EXPECT_EQ(shown->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(shown->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(shown->defaultSuffix(), "xml");
    EXPECT_EQ(shown->nameFilters(), QStringList({"Orvalen (*.xml)", "All files (*)"}));
    EXPECT_EQ(shown->selectedNameFilter(), "Orvalen (*.xml)");
    ASSERT_TRUE(QFileInfo::exists(file)) << "the default extension is added";

    paste(QString());
    child<QComboBox>("cblengthSize").setCurrentIndex(0);
    {
        ModalAnswerer answerer([&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Ouvrir (Open)");
            EXPECT_EQ(static_cast<QFileDialog&>(dialog).fileMode(), QFileDialog::ExistingFile);
            EXPECT_EQ(static_cast<QFileDialog&>(dialog).acceptMode(), QFileDialog::AcceptOpen);
            choose(dialog, file);
        });
        button("Open").trigger();
        EXPECT_EQ(answerer.dialogsAnswered(), 1);
        EXPECT_TRUE(answerer.messages().empty());
    }
    ASSERT_EQ(model().rowCount(), 2);
    EXPECT_EQ(cell(2, 0), "Flags");
    EXPECT_EQ(child<QComboBox>("cblengthSize").currentText(), "2 bytes");
    EXPECT_EQ(widget.cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace vistrel::testing
