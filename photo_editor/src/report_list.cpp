#include "vesk/photo_editor/report_list.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <stdexcept>

#include "vesk/photo_editor/twips.h"

namespace vesk::photo_editor {

namespace {

constexpr int KeyRole = Qt::UserRole;
constexpr int ColorRole = Qt::UserRole + 1;

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

std::string KeyOf(const QTreeWidgetItem& item) {
    return item.data(0, KeyRole).toString().toStdString();
}

}  // namespace

ReportList::ReportList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(1);
    connect(this, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { emit ItemClick(KeyOf(*item)); });
}

void ReportList::keyPressEvent(QKeyEvent* event) {
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    QTreeWidgetItem* after = currentItem();
    if (after != nullptr && after != before) {
        emit ItemClick(KeyOf(*after));
    }
}

void ReportList::SetUpColumn(const std::string& header, double widthTwips) {
    setHeaderHidden(false);
    setHeaderLabels({ToQString(header)});
    setColumnWidth(0, TwipsToPixels(widthTwips));
    // The selection stays highlighted while the list has no focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

double ReportList::WidthTwips() const {
    return width() * TwipsPerPixel;
}

void ReportList::Add(int position, const std::string& key, const std::string& text) {
    if (ItemOf(key) != nullptr) {
        throw std::invalid_argument("Key is not unique in collection");
    }
    if (position < 0 || position > Count() + 1) {
        throw std::out_of_range("Index out of bounds");
    }
    auto* item = new QTreeWidgetItem({ToQString(text)});
    item->setData(0, KeyRole, ToQString(key));
    item->setData(0, ColorRole, static_cast<qlonglong>(SystemWindowTextColor));
    insertTopLevelItem(position == 0 ? Count() : position - 1, item);
}

void ReportList::Remove(const std::string& key) {
    QTreeWidgetItem* item = RequireItemOf(key);
    const bool wasSelected = item->isSelected();
    delete item;
    if (wasSelected) {
        // No other line takes the selection: nothing is shown until the user picks one.
        setCurrentItem(nullptr);
        clearSelection();
    }
}

std::string ReportList::TextAt(int position) const {
    return ItemAt(position)->text(0).toStdString();
}

std::string ReportList::KeyAt(int position) const {
    return KeyOf(*ItemAt(position));
}

std::string ReportList::TextOf(const std::string& key) const {
    QTreeWidgetItem* item = RequireItemOf(key);
    return item->text(0).toStdString();
}

void ReportList::SetTextOf(const std::string& key, const std::string& text) {
    QTreeWidgetItem* item = RequireItemOf(key);
    item->setText(0, ToQString(text));
}

long ReportList::ForeColorOf(const std::string& key) const {
    QTreeWidgetItem* item = RequireItemOf(key);
    return static_cast<long>(item->data(0, ColorRole).toLongLong());
}

void ReportList::SetForeColorOf(const std::string& key, long color) {
    QTreeWidgetItem* item = RequireItemOf(key);
    item->setData(0, ColorRole, static_cast<qlonglong>(color));
    item->setForeground(0, ColorFromOle(color));
}

std::string ReportList::SelectedKey() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : KeyOf(*selected.front());
}

void ReportList::Select(const std::string& key) {
    QTreeWidgetItem* item = RequireItemOf(key);
    setCurrentItem(item);
}

void ReportList::EnsureVisible(const std::string& key) {
    QTreeWidgetItem* item = RequireItemOf(key);
    scrollToItem(item);
}

QTreeWidgetItem* ReportList::ItemAt(int position) const {
    if (position < 1 || position > Count()) {
        throw std::out_of_range("Index out of bounds");
    }
    return topLevelItem(position - 1);
}

QTreeWidgetItem* ReportList::RequireItemOf(const std::string& key) const {
    QTreeWidgetItem* item = ItemOf(key);
    if (item == nullptr) {
        throw std::out_of_range("Element not found");
    }
    return item;
}

QTreeWidgetItem* ReportList::ItemOf(const std::string& key) const {
    for (int index = 0; index < Count(); ++index) {
        QTreeWidgetItem* item = topLevelItem(index);
        if (KeyOf(*item) == key) {
            return item;
        }
    }
    return nullptr;
}

}  // namespace vesk::photo_editor
