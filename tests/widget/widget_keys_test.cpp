// SPDX-License-Identifier: MIT
#include "modal_answerer.h"
#include "widget/key_preview.h"
#include "widget_fixture.h"

#include <QLineEdit>
#include <QTest>

namespace vistrel::testing {
namespace {

TEST(KeyTranslation, ModifiersBecomeTheShiftState) {
    struct Case {
        Qt::KeyboardModifiers modifiers;
        int shift;
    };
    const Case cases[] = {
        {Qt::NoModifier, 0},
        {Qt::ShiftModifier, 1},
        {Qt::ControlModifier, 2},
        {Qt::AltModifier, 4},
        {Qt::ControlModifier | Qt::AltModifier, 6},
        {Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier, 7},
        {Qt::KeypadModifier | Qt::ControlModifier, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(shiftState(c.modifiers), c.shift) << c.modifiers.toInt();
    }
}

class HiddenKeyTest : public WidgetTest {
protected:
    // Releases a key on a child control, as a user typing there would.
    void release(QWidget& target, Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyRelease(&target, key, modifiers);
    }

    ModalAnswerer answerer;
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
};

TEST_F(HiddenKeyTest, CtrlAltVOnAChildControlArmsAndDisarmsTheSnapshot) {
    release(child<QLineEdit>("txStartSession"), Qt::Key_V, ctrlAlt);
    release(*grid().viewport(), Qt::Key_V, ctrlAlt);

    ASSERT_EQ(answerer.messages().size(), 2U);
    EXPECT_EQ(answerer.messages()[0].title, "Current state");
    EXPECT_EQ(answerer.messages()[0].text, "Snapshot next read = True");
    EXPECT_EQ(answerer.messages()[1].text, "Snapshot next read = False");
}

TEST_F(HiddenKeyTest, KeysOfControlsAddedLaterAreSeenToo) {
    auto* late = new QLineEdit(&widget);
    release(*late, Qt::Key_H, ctrlAlt);

    EXPECT_EQ(answerer.messages().size(), 1U);
}

TEST_F(HiddenKeyTest, TheHostsWindowGivesTheKeysOnceFromAnyWhereInIt) {
    QWidget window;
    auto* hosted = new VistrelWidget(&window);
    auto* beside = new QLineEdit(&window);
    hosted->takeKeysOfWindow(window);

    release(*beside, Qt::Key_H, ctrlAlt);
    release(*hosted->findChild<QLineEdit*>("txStartSession"), Qt::Key_H, ctrlAlt);

    EXPECT_EQ(answerer.messages().size(), 2U);
}

} // namespace
} // namespace vistrel::testing
