#include "framework/gui/text_area_view.h"

#include "framework/gui/display_text.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

namespace framework {

namespace {

// How bytes show. Qt would hide control characters, QTextDocument takes U+2029, U+FDD0 and
// U+FDD1 as block separators, and Qt draws U+2028 as a break inside the line; each of these
// shows as a stand-in that maps back to it when the operator edits the line: control pictures
// for C0 and DEL, private-use characters for C1 (which is also what a stray byte 0x80-0x9F would
// show as) and the separators.
constexpr char32_t kControlPictures = 0x2400;
constexpr char32_t kDeletePicture = 0x2421;
constexpr char32_t kPrivateStandIns = 0xE000;

bool IsBreakOrTab(char32_t c) {
    return c == '\t' || c == '\n' || c == '\r';
}

char32_t Shown(char32_t c) {
    if (c < 0x20) {
        return IsBreakOrTab(c) ? c : kControlPictures + c;
    }
    if (c == 0x7F) {
        return kDeletePicture;
    }
    if ((c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1) {
        return kPrivateStandIns | (c & 0xFF);
    }
    return c;
}

char32_t Unshown(char32_t c) {
    if (c >= kControlPictures && c < kControlPictures + 0x20 &&
        !IsBreakOrTab(c - kControlPictures)) {
        return c - kControlPictures;
    }
    if (c == kDeletePicture) {
        return 0x7F;
    }
    if ((c & ~char32_t{0xFF}) == kPrivateStandIns) {
        const char32_t low = c & 0xFF;
        if (low >= 0x80 && low <= 0x9F) {
            return low;
        }
        if (low == 0x28 || low == 0x29) {
            return 0x2000 | low;
        }
        if (low == 0xD0 || low == 0xD1) {
            return 0xFD00 | low;
        }
    }
    // A block's text never holds a break; should one turn up, it must not become one here.
    if (c == '\n' || c == '\r') {
        return kControlPictures + c;
    }
    return c;
}

void AppendShown(QString& out, char32_t c) {
    c = Shown(c);
    if (c > 0xFFFF) {
        out.append(QChar(QChar::highSurrogate(c)));
        out.append(QChar(QChar::lowSurrogate(c)));
    } else {
        out.append(QChar(static_cast<char16_t>(c)));
    }
}

void AppendUtf8(Text& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Appends how the bytes show, each line break (CR, LF or CR LF) as one '\n'. Returns how many
// bytes at the end begin a UTF-8 sequence the bytes stop short of; they show one character each
// until the rest arrives.
std::size_t AppendShownBytes(QString& out, std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    out.reserve(out.size() + static_cast<qsizetype>(n));
    std::size_t i = 0;
    while (i < n) {
        const unsigned char b = p[i];
        if (b == '\r' || b == '\n') {
            out.append(QChar(u'\n'));
            i += (b == '\r' && i + 1 < n && p[i + 1] == '\n') ? 2 : 1;
            continue;
        }
        const Utf8Sequence s = ReadUtf8(p + i, n - i);
        if (s.length == kUtf8Unfinished) {
            for (std::size_t k = i; k < n; ++k) {
                AppendShown(out, p[k]);
            }
            return n - i;
        }
        if (s.length == 0) {
            AppendShown(out, b); // Latin-1
            ++i;
        } else {
            AppendShown(out, s.code);
            i += static_cast<std::size_t>(s.length);
        }
    }
    return 0;
}

Text UnshownBytes(const QString& shown) {
    Text out;
    out.reserve(static_cast<std::size_t>(shown.size()));
    for (qsizetype i = 0; i < shown.size(); ++i) {
        char32_t c = shown[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < shown.size() && shown[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), shown[i + 1].unicode());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            c = QChar::ReplacementCharacter;
        }
        AppendUtf8(out, Unshown(c));
    }
    return out;
}

// The widget: a QPlainTextEdit that lets the view read and set its top line.
class MirroredEdit : public QPlainTextEdit {
public:
    explicit MirroredEdit(QWidget* parent) : QPlainTextEdit(parent) {}

    int TopBlockNumber() const { return firstVisibleBlock().blockNumber(); }
    // Makes the top line follow the scroll bar's value even when that value did not change.
    void FollowScrollBar() { QPlainTextEdit::scrollContentsBy(0, 0); }

protected:
    // Paste, middle-click paste and drops all come here. Only the data's text goes in, shown
    // as the view shows bytes: Qt 6.4 reads the first of the data's formats without checking
    // that there is one (an empty X clipboard crashes it), and would read Markdown as formatting.
    void insertFromMimeData(const QMimeData* source) override {
        if (source && source->hasText()) {
            QMimeData plain;
            plain.setText(ShownText(source->text().toStdString()));
            QPlainTextEdit::insertFromMimeData(&plain);
        }
    }
};

// Sets a flag for the time the view itself changes the document.
// Marks a change of the program's own. The undo stack is the operator's alone: a change of ours
// ends it, so undo can never take received text back out or act on lines that have moved.
class Applying {
public:
    Applying(bool& flag, QTextDocument* document) : flag_(flag), document_(document) {
        flag_ = true;
        if (document_) {
            document_->setUndoRedoEnabled(false);
        }
    }
    ~Applying() {
        flag_ = false;
        if (document_) {
            document_->setUndoRedoEnabled(true);
        }
    }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

private:
    bool& flag_;
    QPointer<QTextDocument> document_;
};

} // namespace

struct TextAreaView::Impl {
    explicit Impl(QWidget* parent) : edit(new MirroredEdit(parent)), document(edit->document()) {}

    // The window that holds the widget may delete it before the view goes; the mirror lives on.
    QPointer<MirroredEdit> edit;
    QPointer<QTextDocument> document;
    Text text;
    // Byte offset where each line starts; lines[0] == 0 always.
    std::vector<std::size_t> lines{0};
    // Bytes at the end that begin an unfinished UTF-8 sequence, shown one character each.
    std::size_t unfinished = 0;
    bool applying = false;
    std::optional<int32_t> pendingScroll;

    void ApplyScroll() {
        if (!pendingScroll) {
            return;
        }
        const int32_t line = *pendingScroll;
        pendingScroll.reset();
        if (!OnScreen()) {
            return;
        }
        const int target = std::clamp(line, 0, document->blockCount() - 1);
        // The scroll bar counts visual lines, wrapped ones included, as far as Qt has laid them
        // out; the block's first line number is in those same units.
        const int visual = document->findBlockByNumber(target).firstLineNumber();
        QScrollBar* bar = edit->verticalScrollBar();
        if (bar->value() != visual) {
            bar->setValue(visual);
        } else {
            edit->FollowScrollBar();
        }
    }

    std::size_t LineCount() const { return lines.size(); }
    bool OnScreen() const { return edit && document; }

    // Length of the break that ends `line` (0 for the last line).
    std::size_t BreakLength(std::size_t line) const {
        if (line + 1 >= lines.size()) {
            return 0;
        }
        const std::size_t next = lines[line + 1];
        return next >= lines[line] + 2 && text[next - 1] == '\n' && text[next - 2] == '\r' ? 2 : 1;
    }
    std::string_view Content(std::size_t line) const {
        const std::size_t end = line + 1 < lines.size() ? lines[line + 1] : text.size();
        return std::string_view(text).substr(lines[line], end - lines[line] - BreakLength(line));
    }
    std::string_view Break(std::size_t line) const {
        const std::size_t length = BreakLength(line);
        return std::string_view(text).substr(lines[line + 1 < lines.size() ? line + 1 : 0] - length,
                                             length);
    }

    // Records the lines that start after the breaks in text[from..); `from` must not split a
    // CR LF.
    void IndexBreaks(std::size_t from) {
        const std::size_t n = text.size();
        for (std::size_t i = from; i < n; ++i) {
            const char c = text[i];
            if (c == '\r') {
                if (i + 1 < n && text[i + 1] == '\n') {
                    ++i;
                }
                lines.push_back(i + 1);
            } else if (c == '\n') {
                lines.push_back(i + 1);
            }
        }
    }

    void Append(const Text& bytes);
    void Set(const Text& bytes);
    void TakeOperatorEdit(int position, int added);
};

void TextAreaView::Impl::Append(const Text& bytes) {
    if (bytes.empty()) {
        return;
    }
    const std::size_t old_size = text.size();
    std::size_t show_from = old_size - unfinished;
    const bool joins_cr = old_size > 0 && text.back() == '\r' && bytes.front() == '\n';
    text += bytes;
    if (joins_cr) {
        // The CR already broke the line in the widget; its LF only joins that break.
        lines.back() = old_size + 1;
        show_from = old_size + 1;
    }
    IndexBreaks(show_from);
    QString shown;
    const std::size_t now_unfinished =
        AppendShownBytes(shown, std::string_view(text).substr(show_from));
    if (shown.isEmpty() || !OnScreen()) {
        unfinished = now_unfinished;
        return;
    }

    // The operator's cursor stays where it is, also when it sits at the end where the text goes.
    const QTextCursor before = edit->textCursor();
    const int anchor = before.anchor();
    const int position = before.position();
    {
        Applying guard(applying, document);
        QTextCursor at(document);
        // Inside an edit block a cursor that moves skips working out its x position, which
        // would lay the last block out each time.
        at.beginEditBlock();
        const int end = document->characterCount() - 1;
        at.setPosition(end - static_cast<int>(unfinished));
        at.setPosition(end, QTextCursor::KeepAnchor);
        at.insertText(shown);
        at.endEditBlock();
    }
    unfinished = now_unfinished;
    const QTextCursor after = edit->textCursor();
    if (after.anchor() != anchor || after.position() != position) {
        const int end = document->characterCount() - 1;
        QTextCursor kept(document);
        kept.setPosition(std::min(anchor, end));
        kept.setPosition(std::min(position, end), QTextCursor::KeepAnchor);
        // Setting the cursor scrolls to it; the view stays where it was.
        const int top = edit->verticalScrollBar()->value();
        const int left = edit->horizontalScrollBar()->value();
        edit->setTextCursor(kept);
        edit->verticalScrollBar()->setValue(top);
        edit->horizontalScrollBar()->setValue(left);
    }
}

void TextAreaView::Impl::Set(const Text& bytes) {
    text = bytes;
    lines.assign(1, 0);
    IndexBreaks(0);
    QString shown;
    unfinished = AppendShownBytes(shown, text);
    if (OnScreen()) {
        Applying guard(applying, document);
        document->setPlainText(shown);
    }
}

// Old lines [first, old_last] became blocks [first, new_last]: the blocks before and after are
// the lines they were. The range's lines take the blocks' text, except that a line shown exactly
// as it was at either end of the range keeps its bytes.
void TextAreaView::Impl::TakeOperatorEdit(int position, int added) {
    const int blocks = document->blockCount();
    const int old_lines = ClampedSize(LineCount());
    QTextBlock start = document->findBlock(position);
    if (!start.isValid()) {
        start = document->lastBlock();
    }
    QTextBlock stop = document->findBlock(position + added);
    if (!stop.isValid()) {
        stop = document->lastBlock();
    }
    int first = start.blockNumber();
    int new_last = stop.blockNumber();
    int old_last = new_last - (blocks - old_lines);
    if (first >= old_lines || old_last < first || old_last >= old_lines) {
        // Not a change Qt reports; take every line.
        first = 0;
        new_last = blocks - 1;
        old_last = old_lines - 1;
        start = document->firstBlock();
    }

    std::vector<QString> shown;
    shown.reserve(static_cast<std::size_t>(new_last - first) + 1);
    QTextBlock block = start;
    for (int k = first; k <= new_last && block.isValid(); ++k, block = block.next()) {
        shown.push_back(block.text());
    }
    const std::size_t new_count = shown.size();
    const std::size_t old_first = static_cast<std::size_t>(first);
    const std::size_t old_end = static_cast<std::size_t>(old_last) + 1;
    const std::size_t old_count = old_end - old_first;
    const std::size_t both = std::min(new_count, old_count);
    std::size_t same_head = 0;
    while (same_head < both && shown[same_head] == ShownText(Content(old_first + same_head))) {
        ++same_head;
    }
    std::size_t same_tail = 0;
    while (same_tail < both - same_head &&
           shown[new_count - 1 - same_tail] == ShownText(Content(old_end - 1 - same_tail))) {
        ++same_tail;
    }

    // Breaks inside the range keep the old ones in order; a new one takes the break around it.
    const bool range_ends_text = old_end == LineCount();
    std::string_view made_break = old_count > 1      ? Break(old_first)
                                  : old_first > 0    ? Break(old_first - 1)
                                  : !range_ends_text ? Break(old_end - 1)
                                                     : std::string_view(EndOfLine().Value());
    const std::size_t begin = lines[old_first];
    const std::size_t end = range_ends_text ? text.size() : lines[old_end];
    bool after_cr = begin > 0 && text[begin - 1] == '\r';
    Text replacement;
    for (std::size_t i = 0; i < new_count; ++i) {
        const std::size_t content_start = replacement.size();
        if (i < same_head) {
            replacement += Content(old_first + i);
        } else if (i >= new_count - same_tail) {
            replacement += Content(old_end - (new_count - i));
        } else {
            replacement += UnshownBytes(shown[i]);
        }
        std::string_view line_break = i + 1 == new_count  ? Break(old_end - 1)
                                      : i + 1 < old_count ? Break(old_first + i)
                                                          : made_break;
        // A CR, an empty line and an LF would read back as one CR LF break.
        if (after_cr && replacement.size() == content_start && line_break == "\n") {
            line_break = "\r\n";
        }
        replacement += line_break;
        after_cr = !line_break.empty() && line_break.back() == '\r';
    }
    text.replace(begin, end - begin, replacement);
    lines.resize(old_first + 1);
    IndexBreaks(begin);
    if (range_ends_text) {
        // The last block shows the last line's bytes as ShownText does, an unfinished tail
        // included.
        QString unused;
        unfinished = AppendShownBytes(unused, Content(LineCount() - 1));
    }
}

TextAreaView::TextAreaView(QWidget* parent) : impl_(std::make_unique<Impl>(parent)) {
    connect(impl_->document, &QTextDocument::contentsChange, this,
            [this](int position, int /*removed*/, int added) {
                if (!impl_->applying) {
                    impl_->TakeOperatorEdit(position, added);
                }
            });
}

TextAreaView::~TextAreaView() {
    // A widget in a window belongs to the window; one without a parent is ours.
    if (impl_->edit && impl_->edit->parent() == nullptr) {
        delete impl_->edit.data();
    }
}

QPlainTextEdit* TextAreaView::Widget() const {
    return impl_->edit;
}

void TextAreaView::AppendText(const Text& text) {
    impl_->Append(text);
}

void TextAreaView::SetText(const Text& text) {
    impl_->Set(text);
}

const Text& TextAreaView::Contents() const {
    return impl_->text;
}

QString ShownText(std::string_view bytes) {
    QString out;
    AppendShownBytes(out, bytes);
    return out;
}

int32_t TextAreaView::LineNumAtCharPos(int32_t position) const {
    if (position <= 0) {
        return 0;
    }
    const auto& lines = impl_->lines;
    const auto at =
        std::upper_bound(lines.begin(), lines.end(), static_cast<std::size_t>(position));
    return ClampedSize(static_cast<std::size_t>(at - lines.begin()) - 1);
}

void TextAreaView::SetScrollPosition(int32_t line) {
    // Scrolling moves the viewport's pixels; a burst of entries would scroll once per entry.
    // The latest target is kept and applied once, from the next turn of the event loop, or at
    // once when someone asks where the view stands.
    const bool scheduled = impl_->pendingScroll.has_value();
    impl_->pendingScroll = line;
    if (!scheduled && impl_->edit) {
        QTimer::singleShot(0, this, [this] { impl_->ApplyScroll(); });
    }
}

int32_t TextAreaView::ScrollPosition() const {
    impl_->ApplyScroll();
    return impl_->OnScreen() ? std::max(0, impl_->edit->TopBlockNumber()) : 0;
}

} // namespace framework
