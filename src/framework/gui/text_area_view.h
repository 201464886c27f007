#pragma once

#include "framework/core/text.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string_view>

class QPlainTextEdit;
class QWidget;

namespace framework {

// A QPlainTextEdit with its text kept as bytes in a mirror beside it, so that reading the text,
// its length and the line of a position cost the same however long the text grows. The widget
// shows the mirror's lines: a line break is CR, LF, or CR LF as one, also when the CR and its
// LF arrive in two appends. Bytes are shown as UTF-8 where valid and one by one (Latin-1) where
// not. What the operator types is taken into the mirror.
// Bytes as a view shows them, each line break (CR, LF or CR LF) as one '\n'.
QString ShownText(std::string_view bytes);

class TextAreaView : public QObject {
public:
    explicit TextAreaView(QWidget* parent);
    ~TextAreaView() override;

    QPlainTextEdit* Widget() const;

    void AppendText(const Text& text);
    void SetText(const Text& text);
    const Text& Contents() const;

    // 0-based line that holds the 0-based byte position (Len(text) gives the line of the end).
    int32_t LineNumAtCharPos(int32_t position) const;
    // 0-based first visible line, in the numbering of LineNumAtCharPos.
    void SetScrollPosition(int32_t line);
    int32_t ScrollPosition() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace framework
