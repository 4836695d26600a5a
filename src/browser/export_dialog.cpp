#include "export_dialog.h"
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>

namespace browser {

using dd::exporting::Format;
using dd::exporting::Scope;

namespace {

const Format kFormats[] = {Format::Xlsx, Format::Csv, Format::Markdown, Format::Html};

bool confirmReplace(QWidget *parent, const QString &file)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("提示"),
                    QStringLiteral("【%1】已存在，要替换它吗？").arg(QDir::toNativeSeparators(file)),
                    QMessageBox::NoButton, parent);
    QPushButton *replace = box.addButton(QStringLiteral("替换"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    box.setDefaultButton(replace);
    box.exec();
    return box.clickedButton() == replace;
}

}  // namespace

std::optional<ExportChoice> askExportTarget(QWidget *parent, const QString &suggestedName,
                                            bool hasCurrentTable)
{
    QFileDialog dialog(parent, QStringLiteral("导出"));
    dialog.setObjectName(QStringLiteral("exportDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("保存在："));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("文件名："));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("保存类型："));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("导出"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    QStringList types;
    for (Format f : kFormats)
        types << dd::exporting::fileTypeOf(f);
    dialog.setNameFilters(types);
    dialog.setDefaultSuffix(dd::exporting::suffixOf(Format::Xlsx));
    dialog.setDirectory(QDir::homePath());
    dialog.selectFile(suggestedName + QStringLiteral(".xlsx"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &type) {
        const Format f = kFormats[std::max(0, int(QStringList(dialog.nameFilters()).indexOf(type)))];
        dialog.setDefaultSuffix(dd::exporting::suffixOf(f));
    });

    // The scope, in a row of its own under the file type.
    auto *scope = new QComboBox(&dialog);
    scope->setObjectName(QStringLiteral("exportScope"));
    scope->setAccessibleName(QStringLiteral("导出范围"));
    scope->addItems({QStringLiteral("当前表"), QStringLiteral("当前列表"), QStringLiteral("整个字典")});
    scope->setCurrentIndex(1);
    if (!hasCurrentTable)
        if (auto *model = qobject_cast<QStandardItemModel *>(scope->model()))
            model->item(0)->setEnabled(false);
    auto *label = new QLabel(QStringLiteral("导出范围："), &dialog);
    label->setBuddy(scope);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout())) {
        const int row = grid->rowCount();
        grid->addWidget(label, row, 0);
        grid->addWidget(scope, row, 1);
    }
    // The database's own facts beside the dictionary's, off unless asked for.
    auto *physical = new QCheckBox(QStringLiteral("含实际结构(约行数、实际类型、允许空、键、核对)"), &dialog);
    physical->setObjectName(QStringLiteral("exportPhysical"));
    physical->setAccessibleName(QStringLiteral("含实际结构"));
    if (auto *grid = qobject_cast<QGridLayout *>(dialog.layout()))
        grid->addWidget(physical, grid->rowCount(), 1);

    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        ExportChoice choice;
        choice.file = dialog.selectedFiles().first();
        // A typed suffix of a known type wins over the chosen file type.
        const int typeIndex = std::max(0, int(types.indexOf(dialog.selectedNameFilter())));
        choice.format = dd::exporting::formatOfFile(choice.file).value_or(kFormats[typeIndex]);
        choice.scope = Scope(scope->currentIndex());
        choice.physical = physical->isChecked();
        if (QFileInfo::exists(choice.file) && !confirmReplace(&dialog, choice.file))
            continue;
        return choice;
    }
    return std::nullopt;
}

}  // namespace browser
