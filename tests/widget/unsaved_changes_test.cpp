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

// Open and Paste replace the list: a changed list is offered to be saved
// first, and only Cancel (or a save that did not happen) keeps it.
TEST_F(WidgetTest, OpenAndPasteAskToSaveAChangedListAndCancelKeepsIt) {
    handOverProtocol();
    QTemporaryDir folder;
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
        EXPECT_EQ(answerer.messages()[0].text, "Save the changes to the item list?");
        EXPECT_EQ(answerer.dialogsAnswered(), c.fileDialogs);
        EXPECT_EQ(cell(1, 0) == "Speed" && widget.control().listChanged(), c.listKept);
    }
}

} // namespace
} // namespace vistrel::testing
