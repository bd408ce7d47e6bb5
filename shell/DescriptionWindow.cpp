#include "DescriptionWindow.h"

#include <QLabel>
#include <QListWidget>
#include <QResizeEvent>
#include <QVBoxLayout>

namespace kuv {

DescriptionWindow::DescriptionWindow(std::function<void(int)> choose, QWidget* parent)
    : QWidget(parent, Qt::Window), choose_(std::move(choose)) {
    setObjectName(QStringLiteral("Description"));
    setWindowTitle(QStringLiteral("絵の説明"));
    setAccessibleName(windowTitle());
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    Summary = new QLabel(this);
    Summary->setWordWrap(true);
    Summary->setTextFormat(Qt::PlainText);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Items = new QListWidget(this);
    Items->setObjectName(QStringLiteral("DescriptionItems"));
    Items->setAccessibleName(QStringLiteral("絵の説明"));
    // Every word of a row shown, however long: wrapped, never cut short.
    Items->setWordWrap(true);
    Items->setTextElideMode(Qt::ElideNone);
    Items->setResizeMode(QListView::Adjust);
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
    FitRows();
    if (Items->count()) Items->setCurrentRow(std::clamp(row, 0, Items->count() - 1));
}

void DescriptionWindow::FitRows() {
    const int width = Items->viewport()->width() - 8;
    const QFontMetrics metrics(Items->font());
    for (int i = 0; i < Items->count(); ++i) {
        QListWidgetItem* item = Items->item(i);
        const QRect text = metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap | Qt::TextWrapAnywhere, item->text());
        item->setSizeHint(QSize(width, text.height() + 6));
    }
}

void DescriptionWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    FitRows();
}

}  // namespace kuv
