#include "ui/grid_wheel.h"

#include <QEvent>
#include <QHeaderView>
#include <QWheelEvent>
#include <QWidget>
#include <cmath>
#include <exception>

#include "foundation/trap.h"
#include "platform/flex_grid.h"

namespace {

constexpr int kNotch = 120;  // wheel units of one notch

class BusyScope {
  public:
    BusyScope() { GridWheel().WheelBusy = true; }
    ~BusyScope() { GridWheel().WheelBusy = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

bool EditorOpen(const GridEditors& editors, const char* name) {
    auto* editor = editors.window->findChild<QWidget*>(QString::fromLatin1(name));
    if (editor == nullptr) throw std::runtime_error(name);
    return editor->isVisibleTo(editors.window);
}

// Commits an open editor; false when the text editor refused its value.
bool CommitEditors(const GridEditors& editors) {
    if (EditorOpen(editors, "TXT_Edit")) {
        // Only the commit made now may stop this scroll, not one made earlier elsewhere.
        GridWheel().EditRejected = 0;
        if (editors.TXT_Edit_LostFocus) editors.TXT_Edit_LostFocus();
        return GridWheel().EditRejected != -1;
    }
    if (EditorOpen(editors, "DPC_Edit") && editors.DPC_Edit_LostFocus) {
        editors.DPC_Edit_LostFocus();
    }
    return true;
}

void MoveTopRow(FlexGrid& grid, int step) {
    grid.SetTopRow(grid.TopRow() + step);
}

class GridWheelFilter : public QObject {
  public:
    GridWheelFilter(FlexGrid& grid, std::string formName, GridEditors editors)
        : QObject(&grid),
          grid_(grid),
          formName_(std::move(formName)),
          editors_(std::move(editors)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
        if (delta == 0) return false;  // a sideways turn scrolls the columns as usual
        if (GridWheel().WheelBusy) return true;
        pending_ += delta;
        const int notches = pending_ / kNotch;
        pending_ -= notches * kNotch;
        RunTrapped([&] {
            BusyScope busy;
            for (int i = 0; i < std::abs(notches); ++i) Step(notches < 0);
        });
        return true;
    }

  private:
    void Step(bool down) {
        if (editors_.Present()) {
            down ? ScrollEditGridDown(editors_, grid_, formName_)
                 : ScrollEditGridUp(editors_, grid_, formName_);
        } else {
            down ? ScrollGridDown(grid_, formName_) : ScrollGridUp(grid_, formName_);
        }
    }

    FlexGrid& grid_;
    std::string formName_;
    GridEditors editors_;
    int pending_ = 0;  // wheel units short of a whole notch
};

}  // namespace

void InstallGridWheel(FlexGrid& grid, const std::string& formName, GridEditors editors) {
    auto* filter = new GridWheelFilter(grid, formName, std::move(editors));
    grid.viewport()->installEventFilter(filter);
    grid.horizontalHeader()->viewport()->installEventFilter(filter);
}

bool GridHasHiddenRows(const FlexGrid& grid, const std::string& formName) {
    const int header = grid.RowHeight(0);
    if (header <= 0) throw std::domain_error("Division by zero");
    const auto fits = static_cast<int>(static_cast<float>(grid.Height()) / header);
    const bool selectionList = formName.empty() || formName == "FRM_選択";
    return selectionList ? fits < grid.Rows() : fits < grid.Rows() + 1;
}

void ScrollGridDown(FlexGrid& grid, const std::string& formName) {
    try {
        if (GridHasHiddenRows(grid, formName)) MoveTopRow(grid, 1);
    } catch (const std::exception&) {
    }
}

void ScrollGridUp(FlexGrid& grid, const std::string& formName) {
    try {
        if (GridHasHiddenRows(grid, formName) && grid.TopRow() > 1) MoveTopRow(grid, -1);
    } catch (const std::exception&) {
    }
}

void ScrollEditGridDown(const GridEditors& editors, FlexGrid& grid, const std::string& formName) {
    try {
        if (GridHasHiddenRows(grid, formName) && CommitEditors(editors)) MoveTopRow(grid, 1);
    } catch (const std::exception&) {
    }
}

void ScrollEditGridUp(const GridEditors& editors, FlexGrid& grid, const std::string& formName) {
    try {
        if (GridHasHiddenRows(grid, formName) && grid.TopRow() > 1 && CommitEditors(editors)) {
            MoveTopRow(grid, -1);
        }
    } catch (const std::exception&) {
    }
}
