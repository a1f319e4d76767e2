#include "modal_answerer.h"
#include "widget/key_preview.h"
#include "widget_fixture.h"

#include <QLineEdit>
#include <QTest>

namespace vistrel::testing {
namespace {

TEST(KeyTranslation, LettersAndDigitsKeepTheirCodes) {
    struct Case {
        int qtKey;
        int code;
    };
    const Case cases[] = {{Qt::Key_H, 72}, {Qt::Key_V, 86},      {Qt::Key_A, 65},
                          {Qt::Key_Z, 90}, {Qt::Key_0, 48},      {Qt::Key_9, 57},
                          {Qt::Key_F1, 0}, {Qt::Key_Control, 0}, {Qt::Key_Eacute, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(virtualKeyCode(c.qtKey), c.code) << c.qtKey;
    }
}

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

TEST_F(HiddenKeyTest, CtrlAltHShowsTheVersionBox) {
    release(grid(), Qt::Key_H, ctrlAlt);

    ASSERT_EQ(answerer.messages().size(), 1U);
    EXPECT_EQ(answerer.messages()[0].title, "Vistrel hidden function");
    EXPECT_EQ(answerer.messages()[0].text,
              "Vistrel Version : 1.3.4\n\nCtrl+Alt+V : Snapshot enable (False)");
}

TEST_F(HiddenKeyTest, OtherCombinationsDoNothing) {
    auto& edit = child<QLineEdit>("txStartSession");
    release(edit, Qt::Key_V, ctrlAlt | Qt::ShiftModifier);
    release(edit, Qt::Key_V, Qt::ControlModifier);
    release(edit, Qt::Key_H, Qt::AltModifier);
    release(edit, Qt::Key_X, ctrlAlt);

    EXPECT_TRUE(answerer.messages().empty());
}

TEST_F(HiddenKeyTest, KeysOfControlsAddedLaterAreSeenToo) {
    auto* late = new QLineEdit(&widget);
    release(*late, Qt::Key_H, ctrlAlt);

    EXPECT_EQ(answerer.messages().size(), 1U);
}

} // namespace
} // namespace vistrel::testing
