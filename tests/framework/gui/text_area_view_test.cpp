#include "framework/gui/text_area_view.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using framework::Len;
using framework::Text;
using framework::TextAreaView;

std::vector<std::string> Blocks(const TextAreaView& view) {
    std::vector<std::string> out;
    for (QTextBlock b = view.Widget()->document()->firstBlock(); b.isValid(); b = b.next()) {
        out.push_back(b.text().toStdString());
    }
    return out;
}

Text Joined(const std::vector<Text>& chunks) {
    return std::accumulate(chunks.begin(), chunks.end(), Text());
}

// An independent reading of the lines: a position is on the line after every break that ends
// at or before it.
int32_t ReferenceLine(const Text& s, int32_t position) {
    int32_t line = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool crlf = s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n';
        if (s[i] == '\r' || s[i] == '\n') {
            const std::size_t end = i + (crlf ? 2 : 1);
            if (static_cast<int64_t>(end) <= position) {
                ++line;
            }
            i = end - 1;
        }
    }
    return line;
}

// The widget's blocks and the mirror's lines agree in number.
void ExpectInStep(const TextAreaView& view) {
    EXPECT_EQ(view.LineNumAtCharPos(Len(view.Contents())) + 1,
              view.Widget()->document()->blockCount());
}

TEST(TextAreaViewLines, BreaksAreCrLfOrCrLfAlsoAcrossAppends) {
    const struct {
        std::vector<Text> chunks;
        std::vector<std::string> lines;
    } cases[] = {
        {{"a\rb"}, {"a", "b"}},
        {{"a\nb"}, {"a", "b"}},
        {{"a\r\nb"}, {"a", "b"}},
        {{"a\r", "\nb"}, {"a", "b"}},
        {{"a\r", "\n", "\n"}, {"a", "", ""}},
        {{"a\r", "\r\nb"}, {"a", "", "b"}},
        {{"a\n\rb"}, {"a", "", "b"}},
        {{"a\r\r"}, {"a", "", ""}},
        {{"a", "\r", "b\n"}, {"a", "b", ""}},
        {{"\r\n"}, {"", ""}},
        {{"", "x"}, {"x"}},
        // A received log: each response, then its CR in an append of its own.
        {{"resp1", "\r", "\nresp2", "\r", "\r\nresp3", "\r"}, {"resp1", "resp2", "", "resp3", ""}},
    };
    for (const auto& c : cases) {
        TextAreaView view(nullptr);
        for (const Text& chunk : c.chunks) {
            view.AppendText(chunk);
        }
        const Text all = Joined(c.chunks);
        SCOPED_TRACE(testing::PrintToString(all));
        EXPECT_EQ(view.Contents(), all);
        EXPECT_EQ(Blocks(view), c.lines);
        // Every position: line starts, mid-line, both bytes of a CR LF, the end and past it.
        for (int32_t p = -2; p <= Len(all) + 2; ++p) {
            EXPECT_EQ(view.LineNumAtCharPos(p), ReferenceLine(all, std::max(p, 0))) << p;
        }
    }
}

TEST(TextAreaViewBytes, KeepsEveryByteAndShowsEachVisibly) {
    const struct {
        std::vector<Text> chunks;
        std::u16string shown;
    } cases[] = {
        {{"caf\xC3\xA9"}, u"caf\u00E9"},
        {{"caf\xC3", "\xA9"}, u"caf\u00E9"},
        {{"\xE2\x82", "\xAC!"}, u"\u20AC!"},
        {{"\xF0\x9F\x98", "\x80"}, u"\U0001F600"},
        {{"\xC3"}, u"\u00C3"},
        {{"\xC3", "x"}, u"\u00C3x"},
        {{"a\xFF\xFE"}, u"a\u00FF\u00FE"},
        {{"\xC0\xAF\xED\xA0\x80"}, u"\u00C0\u00AF\u00ED\u00A0\uE080"},
        {{Text("\0x\x1b\x7f\tz", 6)}, u"\u2400x\u241B\u2421\tz"},
        {{"\x85", "\xC2\x85"}, u"\uE085\uE085"},
        {{"\xE2\x80\xA9"}, u"\uE029"},
        {{"a\xE2\x80\xA8", "b"}, u"a\uE028b"},
    };
    for (const auto& c : cases) {
        TextAreaView view(nullptr);
        for (const Text& chunk : c.chunks) {
            view.AppendText(chunk);
        }
        SCOPED_TRACE(testing::PrintToString(Joined(c.chunks)));
        EXPECT_EQ(view.Contents(), Joined(c.chunks));
        EXPECT_EQ(Blocks(view),
                  std::vector<std::string>{QString::fromStdU16String(c.shown).toStdString()});
    }
}

TEST(TextAreaViewBytes, SetTextReplacesEverything) {
    TextAreaView view(nullptr);
    view.AppendText("old\rlines\xC3");
    view.SetText("new\r");
    EXPECT_EQ(Blocks(view), (std::vector<std::string>{"new", ""}));
    view.AppendText("\nx");
    EXPECT_EQ(view.Contents(), "new\r\nx");
    EXPECT_EQ(Blocks(view), (std::vector<std::string>{"new", "x"}));
}

void PlaceCursor(QPlainTextEdit* edit, int block, int column) {
    QTextCursor c(edit->document()->findBlockByNumber(block));
    c.movePosition(QTextCursor::NextCharacter, QTextCursor::MoveAnchor, column);
    edit->setTextCursor(c);
}

void Press(QPlainTextEdit* edit, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(edit, &press);
}

void Type(QPlainTextEdit* edit, const QString& text) {
    for (QChar c : text) {
        Press(edit, c.toUpper().unicode(), QString(c));
    }
}

// Deletes blocks' text through the document, not through the view.
void RemoveText(QPlainTextEdit* edit, int from, int to) {
    QTextCursor c(edit->document());
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    c.removeSelectedText();
}

TEST(TextAreaViewOperatorEdits, ReachTheMirrorAndLeaveOtherLinesRaw) {
    const Text raw = "ok\r\xFF\xFE raw\rthird";
    const struct {
        const char* what;
        Text initial;
        std::function<void(QPlainTextEdit*)> edit;
        Text after;
    } cases[] = {
        {"typing", raw, [](auto* e) { PlaceCursor(e, 0, 2), Type(e, "x"); },
         "okx\r\xFF\xFE raw\rthird"},
        {"enter before the raw line", raw,
         [](auto* e) { PlaceCursor(e, 1, 0), Press(e, Qt::Key_Return, "\r"); },
         "ok\r\r\xFF\xFE raw\rthird"},
        {"enter after the raw line", raw,
         [](auto* e) { PlaceCursor(e, 1, 6), Press(e, Qt::Key_Return, "\r"); },
         "ok\r\xFF\xFE raw\r\rthird"},
        {"line removed", raw, [](auto* e) { RemoveText(e, 3, 10); }, "ok\rthird"},
        {"line pasted before the raw line", raw,
         [](auto* e) { QTextCursor(e->document()->findBlockByNumber(1)).insertText("p\n"); },
         "ok\rp\r\xFF\xFE raw\rthird"},
        {"typing in the raw line makes it UTF-8", raw,
         [](auto* e) { PlaceCursor(e, 1, 0), Type(e, "!"); }, "ok\r!\xC3\xBF\xC3\xBE raw\rthird"},
        {"backspace joins lines", raw,
         [](auto* e) { PlaceCursor(e, 1, 0), Press(e, Qt::Key_Backspace); },
         "ok\xC3\xBF\xC3\xBE raw\rthird"},
        {"control symbols map back", Text("a\0b\rc", 5),
         [](auto* e) { PlaceCursor(e, 0, 3), Type(e, "d"); }, Text("a\0bd\rc", 6)},
        {"emptied line between CR and LF", "a\rb\nc", [](auto* e) { RemoveText(e, 2, 3); },
         "a\r\r\nc"},
        {"last line removed", "a\rb", [](auto* e) { RemoveText(e, 1, 3); }, "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TextAreaView view(nullptr);
        view.AppendText(c.initial);
        c.edit(view.Widget());
        EXPECT_EQ(view.Contents(), c.after);
        ExpectInStep(view);
        view.AppendText("\rend");
        EXPECT_EQ(view.Contents(), c.after + "\rend");
        EXPECT_EQ(Blocks(view).back(), "end");
    }
}

// Whatever mix of appends and edits came before, the widget shows what a view given the same
// bytes at once would show.
TEST(TextAreaViewOperatorEdits, MixedWithAppendsKeepWidgetAndMirrorInStep) {
    const std::vector<Text> received = {"ok",   "\r",   "\n",          "\r\n",     "\xC3",
                                        "\xA9", "\xFF", Text(1, '\0'), "\xE2\x82", "\xAC"};
    const std::vector<QString> typed = {"x", "\n", "\u00E9", "\u2400", "\n\n", "ab\ncd"};
    std::mt19937 random(4);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    TextAreaView view(nullptr);
    for (int step = 0; step < 400; ++step) {
        QTextDocument* document = view.Widget()->document();
        const int end = document->characterCount() - 1;
        QTextCursor at(document);
        at.setPosition(static_cast<int>(pick(static_cast<std::size_t>(end) + 1)));
        switch (pick(4)) {
        case 0:
            at.insertText(typed[pick(typed.size())]);
            break;
        case 1:
            at.setPosition(std::min(end, at.position() + static_cast<int>(pick(4))),
                           QTextCursor::KeepAnchor);
            at.removeSelectedText();
            break;
        default:
            view.AppendText(received[pick(received.size())]);
        }
        TextAreaView fresh(nullptr);
        fresh.SetText(view.Contents());
        ASSERT_EQ(Blocks(view), Blocks(fresh))
            << step << " " << testing::PrintToString(view.Contents());
        ExpectInStep(view);
    }
}

TEST(TextAreaViewLifetime, MirrorOutlivesAWidgetItsWindowDeleted) {
    QWidget window;
    TextAreaView view(&window);
    view.AppendText("a\r");
    delete view.Widget();
    view.AppendText("\nb");
    view.SetScrollPosition(1);
    EXPECT_EQ(view.Contents(), "a\r\nb");
    EXPECT_EQ(view.LineNumAtCharPos(3), 1);
    EXPECT_EQ(view.ScrollPosition(), 0);
}

class TextAreaViewOnScreen : public testing::Test {
protected:
    void SetUp() override {
        view.Widget()->resize(200, 100);
        view.Widget()->show();
        QCoreApplication::processEvents();
    }
    void AppendLines(int count, const Text& body) {
        for (int i = 0; i < count; ++i) {
            view.AppendText(body + std::to_string(i));
            view.AppendText("\r");
        }
        QCoreApplication::processEvents();
    }
    TextAreaView view{nullptr};
};

TEST_F(TextAreaViewOnScreen, ScrollPositionIsTheFirstVisibleLine) {
    for (bool wrapped : {false, true}) {
        SCOPED_TRACE(wrapped ? "after wrapped lines" : "short lines");
        view.SetText("");
        if (wrapped) {
            std::string words;
            for (int i = 0; i < 60; ++i) {
                words += "word ";
            }
            AppendLines(3, words);
        }
        AppendLines(100, "line ");
        QTextDocument* document = view.Widget()->document();
        const int line = 50;
        ASSERT_EQ(document->findBlockByNumber(line).firstLineNumber() > line, wrapped);

        view.SetScrollPosition(line);
        QCoreApplication::processEvents();
        EXPECT_EQ(view.ScrollPosition(), line);

        view.SetScrollPosition(view.LineNumAtCharPos(Len(view.Contents())));
        const int bottom = view.ScrollPosition();
        EXPECT_GT(bottom, line);
        EXPECT_EQ(bottom,
                  document->findBlockByLineNumber(view.Widget()->verticalScrollBar()->maximum())
                      .blockNumber());
        view.SetScrollPosition(-5);
        EXPECT_EQ(view.ScrollPosition(), 0);
    }
}

TEST_F(TextAreaViewOnScreen, AppendLeavesTheOperatorsCursorAndScrollAlone) {
    AppendLines(100, "line ");
    QPlainTextEdit* edit = view.Widget();
    QTextCursor selection(edit->document());
    selection.setPosition(5);
    selection.setPosition(10, QTextCursor::KeepAnchor);
    edit->setTextCursor(selection);
    view.AppendText("more\r");
    EXPECT_EQ(edit->textCursor().anchor(), 5);
    EXPECT_EQ(edit->textCursor().position(), 10);

    const int end = edit->document()->characterCount() - 1;
    PlaceCursor(edit, edit->document()->blockCount() - 1, 0);
    view.SetScrollPosition(20);
    view.AppendText("tail");
    EXPECT_EQ(edit->textCursor().position(), end);
    EXPECT_EQ(view.ScrollPosition(), 20);
}

TEST_F(TextAreaViewOnScreen, ReadOnlyWidgetStillAppends) {
    view.Widget()->setReadOnly(true);
    view.AppendText("a\rb");
    EXPECT_EQ(Blocks(view), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(view.Contents(), "a\rb");
}

} // namespace
