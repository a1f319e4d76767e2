// SPDX-License-Identifier: MIT
#include "control/vistrel_control.h"
#include "modal_answerer.h"
#include "widget_fixture.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>

namespace vistrel::testing {
namespace {

const QString kQuestion = QStringLiteral("Save the changes to the item list?");

class UnsavedChangesTest : public WidgetTest {
protected:
    UnsavedChangesTest() {
        handOverProtocol();
        widget.setAskToSaveChanges(true);
    }

    QTemporaryDir folder;
};

// Open and Paste replace the list: a changed list is offered to be saved
// first, and only Cancel (or a save that did not happen) keeps it.
TEST_F(UnsavedChangesTest, OpenAndPasteAskFirstAndCancelKeepsTheList) {
    struct Case {
        const char* button;
        QMessageBox::StandardButton answer;
        int fileDialogs;
        bool listKept;
    };
    const Case cases[] = {
        {"Open", QMessageBox::Cancel, 0, true},
        {"Open", QMessageBox::Discard, 1, true}, // the open dialog, cancelled
        {"Open", QMessageBox::Save, 2, false},   // saved, then the saved list opened
        {"Paste", QMessageBox::Cancel, 0, true},
        {"Paste", QMessageBox::Discard, 0, false},
    };
    const QString saved = folder.filePath(QStringLiteral("list.xml"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + std::to_string(c.answer));
        widget.setAskToSaveChanges(false);
        paste(kTwoItemLines);
        widget.setAskToSaveChanges(true);
        QFile::remove(saved);
        QGuiApplication::clipboard()->setText(
            QStringLiteral("0B0000\t1\tLE+\tOther\t\t1\t0\t1\tD\t1"));
        ModalAnswerer answerer([&](QDialog& dialog) {
            // The save dialog takes a name; the open dialog opens what was saved.
            const bool save =
                static_cast<QFileDialog&>(dialog).acceptMode() == QFileDialog::AcceptSave;
            if (save || QFileInfo::exists(saved)) {
                dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(saved);
                dialog.accept();
            } else {
                dialog.reject();
            }
        });
        answerer.answerMessagesWith(c.answer);
        button(c.button).trigger();
        ASSERT_EQ(answerer.messages().size(), 1U);
        EXPECT_EQ(answerer.messages()[0].text, kQuestion);
        EXPECT_EQ(answerer.dialogsAnswered(), c.fileDialogs);
        EXPECT_EQ(cell(1, 0) == "Speed" && widget.control().listChanged(), c.listKept);
    }
}

TEST_F(UnsavedChangesTest, NothingToLoseAsksNothing) {
    ModalAnswerer answerer;
    EXPECT_TRUE(widget.mayDiscardList()) << "an empty list";
    paste(kTwoItemLines);
    widget.setAskToSaveChanges(false);
    paste(kTwoItemLines);
    EXPECT_TRUE(answerer.messages().empty()) << "a host that did not ask for it";
}

} // namespace
} // namespace vistrel::testing
