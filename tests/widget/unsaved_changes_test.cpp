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
// first, and only Cancel (or a save that did not happen) keeps it. A
// clipboard without item lines replaces nothing, so Paste asks nothing.
TEST_F(WidgetTest, OpenAndPasteAskToSaveAChangedListAndCancelKeepsIt) {
    handOverProtocol();
    QTemporaryDir folder;
    const char* const itemLine = "0B0000\t1\tLE+\tOther\t\t1\t0\t1\tD\t1";
    struct Case {
        const char* button;
        QMessageBox::StandardButton answer;
        int fileDialogs;
        bool listKept;
        const char* clipboard;
    };
    const Case cases[] = {
        {"Open", QMessageBox::Cancel, 0, true, itemLine},
        {"Open", QMessageBox::Discard, 1, true, itemLine}, // the open dialog, cancelled
        {"Open", QMessageBox::Save, 2, false, itemLine},   // saved, then the saved list opened
        {"Paste", QMessageBox::Cancel, 0, true, itemLine},
        {"Paste", QMessageBox::Discard, 0, false, itemLine},
        {"Paste", QMessageBox::Discard, 0, true, "a note\r\nnot an item\r\n"},
    };
    const QString saved = folder.filePath(QStringLiteral("list.xml"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + std::to_string(c.answer));
        widget.setAskToSaveChanges(false);
        paste(kTwoItemLines);
        widget.setAskToSaveChanges(true);
        QFile::remove(saved);
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
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
        if (c.clipboard != itemLine) {
            EXPECT_TRUE(answerer.messages().empty());
            EXPECT_EQ(panelText("Status"), "no item lines in the clipboard");
        } else {
            ASSERT_EQ(answerer.messages().size(), 1U);
            EXPECT_EQ(answerer.messages()[0].text, "Save the changes to the item list?");
        }
        EXPECT_EQ(answerer.dialogsAnswered(), c.fileDialogs);
        EXPECT_EQ(cell(1, 0) == "Speed" && widget.control().listChanged(), c.listKept);
    }
}

} // namespace
} // namespace vistrel::testing
