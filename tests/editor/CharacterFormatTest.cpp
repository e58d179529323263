// Bold, italic and underline toggles, the font and the colour dialogs.
#include "editor/CharacterFormat.h"
#include "editor/RichTextControl.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDialog>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

using test::WhenShown;

using test::RunningProgram;
using test::ScriptedDialogs;

// Effects per character as a string: B, I, U, S or '.' for each character.
QString EffectsOf(const QTextCharFormat& f) {
    QString s;
    s += f.fontWeight() > QFont::Medium ? 'B' : '.';
    s += f.fontItalic() ? 'I' : '.';
    s += f.fontUnderline() ? 'U' : '.';
    s += f.fontStrikeOut() ? 'S' : '.';
    return s;
}

class CharacterFormatTest : public ::testing::Test {
protected:
    // Text "abcd" with per-character effects given as 4-letter codes.
    void setText(const std::vector<QString>& effects) {
        app.editorHandle->clear();
        QTextCursor cursor(app.editorHandle->document());
        for (size_t i = 0; i < effects.size(); ++i) {
            QTextCharFormat f;
            f.setFontWeight(effects[i].contains('B') ? QFont::Bold : QFont::Normal);
            f.setFontItalic(effects[i].contains('I'));
            f.setFontUnderline(effects[i].contains('U'));
            f.setFontStrikeOut(effects[i].contains('S'));
            cursor.insertText(QString(QChar('a' + int(i))), f);
        }
    }
    void select(int from, int to) {
        QTextCursor cursor = app.editorHandle->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        app.editorHandle->setTextCursor(cursor);
    }
    QString effectsAt(int index) {
        QTextCursor cursor(app.editorHandle->document());
        cursor.setPosition(index + 1);
        return EffectsOf(cursor.charFormat());
    }

    test::WorkingDirectory dir;
    RunningProgram program;
};

TEST_F(CharacterFormatTest, TogglesFollowTheFirstSelectedCharacter) {
    struct Case { const char* name; std::vector<QString> before; int mask; std::vector<QString> after; };
    const std::vector<Case> cases = {
        {"bold on all-bold removes it", {"B...", "B...", "B...", "B..."}, 1, {"....", "....", "....", "...."}},
        {"bold on none adds it", {"....", "....", "....", "...."}, 1, {"B...", "B...", "B...", "B..."}},
        {"partly bold starting bold", {"B...", "....", "B...", "...."}, 1, {"....", "....", "....", "...."}},
        {"partly bold starting plain", {"....", "B...", "....", "B..."}, 1, {"B...", "B...", "B...", "B..."}},
        {"others follow the first character", {".IU.", "B...", "....", "...S"}, 1, {"BIU.", "BIU.", "BIU.", "BIU."}},
        {"italic keeps strikeout", {"...S", "...S", "...S", "...S"}, 2, {".I.S", ".I.S", ".I.S", ".I.S"}},
        {"underline", {"....", "....", "....", "...."}, 4, {"..U.", "..U.", "..U.", "..U."}},
    };
    for (const Case& c : cases) {
        setText(c.before);
        select(4, 0);
        app.modified = 0;
        ToggleEffect(c.mask);
        EXPECT_EQ(app.modified, 1) << c.name;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(effectsAt(i), c.after[i]) << c.name << " char " << i;
    }
}

TEST_F(CharacterFormatTest, ToggleTwiceStillMarksModified) {
    setText({"....", "...."});
    select(0, 2);
    app.modified = 0;
    ToggleEffect(1);
    ToggleEffect(1);
    EXPECT_EQ(effectsAt(0), "....");
    EXPECT_EQ(app.modified, 1);
}

TEST_F(CharacterFormatTest, EmptySelectionAppliesToWhatIsTypedNext) {
    setText({"....", "...."});
    select(2, 2);
    ToggleEffect(1);
    EXPECT_EQ(effectsAt(1), "....");
    QTest::keyClicks(app.editorHandle, "xy");
    EXPECT_EQ(app.editorHandle->toPlainText(), "abxy");
    EXPECT_EQ(effectsAt(2), "B...");
    EXPECT_EQ(effectsAt(3), "B...");
}

TEST_F(CharacterFormatTest, FontDialogSetsFaceAndWholePointSize) {
    setText({"....", "...."});
    select(0, 2);
    ScriptedDialogs dialogs;
    app.modified = 0;
    dialogs.answerFont(std::nullopt);
    ChangeSelectionFont();
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(app.fontName, "Times New Roman");
    EXPECT_EQ(app.fontSize, 12);

    dialogs.answerFont(platform::FontChoice{"Liberation Sans", 105});
    ChangeSelectionFont();
    EXPECT_EQ(app.modified, 1);
    EXPECT_EQ(app.fontSize, 10);
    const CharFormatRecord format = GetSelectionCharFormat(app.editorHandle);
    EXPECT_EQ(format.yHeight, 200);
    EXPECT_EQ(format.szFaceName, "Liberation Sans");
    EXPECT_EQ(effectsAt(0), "....");  // a style chosen in the dialog is not applied

    dialogs.answerFont(std::nullopt);
    ChangeSelectionFont();
    ASSERT_EQ(dialogs.fonts.size(), 3u);
    EXPECT_EQ(dialogs.fonts[0].face, "Times New Roman");
    EXPECT_EQ(dialogs.fonts[0].pointSize, 12);
    EXPECT_EQ(dialogs.fonts[2].face, "Liberation Sans");
    EXPECT_EQ(dialogs.fonts[2].pointSize, 10);
}

TEST_F(CharacterFormatTest, ColourDialogCancelledRedThenBlack) {
    setText({"....", "...."});
    select(0, 2);
    ScriptedDialogs dialogs;
    app.modified = 0;
    dialogs.answerColor(-1).answerColor(0x0000FF).answerColor(0);
    ChooseTextColor();
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(app.textColor, 0u);
    ChooseTextColor();
    EXPECT_EQ(app.modified, 1);
    EXPECT_EQ(app.textColor, 0x0000FFu);
    EXPECT_EQ(GetSelectionCharFormat(app.editorHandle).crTextColor, 0x0000FFu);
    ChooseTextColor();
    EXPECT_EQ(GetSelectionCharFormat(app.editorHandle).crTextColor, 0u);
    QTextCursor cursor(app.editorHandle->document());
    cursor.setPosition(1);
    EXPECT_EQ(cursor.charFormat().foreground().color(), QColor(Qt::black));
}


TEST_F(CharacterFormatTest, RealFontAndColourDialogs) {
    setText({"....", "...."});
    select(0, 2);
    WhenShown<QFontDialog>([](QFontDialog* dialog) {
        EXPECT_EQ(dialog->currentFont().pointSize(), 12);
        QFont chosen(QStringLiteral("Liberation Serif"));
        chosen.setPointSize(14);
        dialog->setCurrentFont(chosen);
        dialog->accept();
    });
    ChangeSelectionFont();
    EXPECT_EQ(app.fontSize, 14);
    EXPECT_EQ(app.fontName, QStringLiteral("Liberation Serif"));

    QColorDialog::setCustomColor(3, Qt::green);
    WhenShown<QColorDialog>([](QColorDialog* dialog) {
        EXPECT_EQ(dialog->currentColor(), QColor(Qt::black));
        EXPECT_EQ(QColorDialog::customColor(0), QColor(Qt::black));
        dialog->setCurrentColor(Qt::red);
        dialog->accept();
    });
    ChooseTextColor();
    EXPECT_EQ(app.textColor, 0x0000FFu);
    EXPECT_EQ(QColorDialog::customColor(3), QColor(Qt::green));
    WhenShown<QColorDialog>([](QColorDialog* dialog) {
        EXPECT_EQ(dialog->currentColor(), QColor(Qt::black));  // black again, not the last choice
        dialog->reject();
    });
    app.modified = 0;
    ChooseTextColor();
    EXPECT_EQ(app.modified, 0);
}

}  // namespace
}  // namespace quorlin
