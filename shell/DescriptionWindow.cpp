#include "DescriptionWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace kuv {

DescriptionWindow::DescriptionWindow(std::function<void(int)> choose, QWidget* parent)
    : QWidget(parent, Qt::Window), choose_(std::move(choose)) {
    setObjectName(QStringLiteral("Description"));
    setWindowTitle(QStringLiteral("絵の説明"));
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setWordWrap(true);
    Summary->setTextFormat(Qt::PlainText);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Items = new QListWidget(this);
    Items->setObjectName(QStringLiteral("DescriptionItems"));
    Items->setAccessibleName(QStringLiteral("絵の説明"));
    Items->setWordWrap(true);
    Items->setUniformItemSizes(false);
    layout->addWidget(Summary);
    layout->addWidget(Items, 1);
    // Enter, a double-click or a click chooses a row.
    const auto chosen = [this](QListWidgetItem* item) {
        if (item && choose_) choose_(item->data(Qt::UserRole).toInt());
    };
    connect(Items, &QListWidget::itemActivated, this, chosen);
    connect(Items, &QListWidget::itemClicked, this, chosen);
    resize(520, 360);
}

void DescriptionWindow::Show(const Description& description) {
    const int row = Items->currentRow();
    Summary->setText(QString::fromStdU16String(description.summary));
    Items->setAccessibleDescription(Summary->text());
    Items->clear();
    for (const DescribedItem& d : description.items) {
        auto* item = new QListWidgetItem(QString::fromStdU16String(d.words), Items);
        item->setData(Qt::UserRole, d.line);
    }
    if (Items->count()) Items->setCurrentRow(std::clamp(row, 0, Items->count() - 1));
}

}  // namespace kuv
