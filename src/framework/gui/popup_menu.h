#pragma once

#include "framework/gui/control.h"

class QComboBox;

namespace framework {

// A pop-up list. Change is raised once for every selection the code sets (also the same row,
// also an index outside the rows, which selects nothing) and once for every row the operator
// picks; never twice for one change.
class PopupMenu : public RectControl {
    FRAMEWORK_CLASS()
public:
    const std::vector<EventDecl>& Events() const override;

    // The rows as one text, joined by line breaks (CR, LF or CR LF).
    void SetInitialValue(const framework::Text& rows);
    void AddRow(const framework::Text& row);
    int32_t ListCount() const { return static_cast<int32_t>(rows_.size()); }
    // The selected row from 0; -1 when none is.
    int32_t ListIndex() const { return listIndex_; }
    void SetListIndex(int32_t index);

    // The operator picks a row (as a click on it would).
    void Pick(int32_t index);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwnProperties() override;

private:
    QComboBox* Widget() const;
    void ShowSelection();
    std::vector<framework::Text> rows_;
    int32_t listIndex_ = -1;
};

} // namespace framework
