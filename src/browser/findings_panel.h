#pragma once
// The list "核对结果": where the dictionary and the database disagree, one
// row per finding (级别, 数据表, 中文表名, 字段名称, 问题, 字典类型, 实际类型),
// errors first, under the line "共N处：错误X处，警告Y处，提示Z处". It sits
// over the field grid like the search's results; Enter or a double-click
// chooses a finding, Esc closes the list.
#include "physical_structure.h"
#include "search/list_panel.h"
#include <functional>
#include <memory>

namespace browser {

class FindingsModel;

class FindingsPanel : public search::ListPanel {
    Q_OBJECT
public:
    explicit FindingsPanel(QWidget *parent);

    // The findings of a comparison; the current row stays when they are the same.
    void showFindings(std::shared_ptr<const PhysicalStructure> structure);
    QString summary() const { return lineText(); }
    // The current finding, or nullptr.
    const dd::catalog::Finding *currentFinding() const;

    std::function<void(const dd::catalog::Finding &)> onChoose;

protected:
    void chooseRow(int row) override;

private:
    FindingsPanel(QWidget *parent, FindingsModel *model);
    FindingsModel *model_;
};

}  // namespace browser
