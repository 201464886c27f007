#include "framework/gui/popup_menu.h"

#include "framework/gui/display_text.h"
#include "framework/gui/runtime.h"

#include <QComboBox>

namespace framework {

const ClassRecord& PopupMenu::Record() {
    using T = PropertyType;
    static const ClassRecord record{
        "PopupMenu", &RectControl::Record(), [] { return std::make_shared<PopupMenu>(); },
        Properties({{
                        MakeProperty("InitialValue", T::Text, &PopupMenu::SetInitialValue),
                        MakeProperty("ListIndex", T::Int32, &PopupMenu::SetListIndex),
                    },
                    FontGroupProperties(),
                    DataGroupProperties()})};
    return record;
}

const std::vector<EventDecl>& PopupMenu::Events() const {
    static const std::vector<EventDecl> events{{"Open", "( PopupMenu )"},
                                               {"Change", "( PopupMenu )"}};
    return events;
}

QWidget* PopupMenu::CreateWidget(QWidget* parent) {
    auto* combo = new QComboBox(parent);
    // activated comes only from the operator, for every pick, the selected row included.
    QObject::connect(combo, &QComboBox::activated, [this](int index) { Pick(index); });
    return combo;
}

QComboBox* PopupMenu::Widget() const {
    return static_cast<QComboBox*>(Handle());
}

void PopupMenu::ApplyOwnProperties() {
    QComboBox* combo = Widget();
    const QSignalBlocker quiet(combo);
    combo->clear();
    for (const auto& row : rows_) {
        combo->addItem(DisplayString(row));
    }
    ShowSelection();
}

void PopupMenu::ShowSelection() {
    if (QComboBox* combo = Widget()) {
        const QSignalBlocker quiet(combo);
        combo->setCurrentIndex(listIndex_);
    }
}

void PopupMenu::SetInitialValue(const framework::Text& rows) {
    CheckMainThread();
    rows_.clear();
    listIndex_ = -1;
    if (QComboBox* combo = Widget()) {
        const QSignalBlocker quiet(combo);
        combo->clear();
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i <= rows.size(); ++i) {
        if (i == rows.size() || rows[i] == '\r' || rows[i] == '\n') {
            if (i > start || (i < rows.size())) {
                AddRow(rows.substr(start, i - start));
            }
            if (i + 1 < rows.size() && rows[i] == '\r' && rows[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
}

void PopupMenu::AddRow(const framework::Text& row) {
    CheckMainThread();
    rows_.push_back(row);
    if (QComboBox* combo = Widget()) {
        const QSignalBlocker quiet(combo);
        combo->addItem(DisplayString(row));
        combo->setCurrentIndex(listIndex_);
    }
}

void PopupMenu::SetListIndex(int32_t index) {
    CheckMainThread();
    listIndex_ = index >= 0 && index < ListCount() ? index : -1;
    ShowSelection();
    RaiseEvent("Change");
}

void PopupMenu::Pick(int32_t index) {
    SetListIndex(index);
}

} // namespace framework
