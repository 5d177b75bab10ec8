#pragma once

#include <QTreeWidget>

#include <string>

namespace vesk::photo_editor {

// A one-column report list whose lines carry a unique key, a text and a text colour.
// Positions are 1-based. ItemClick is signalled when the user clicks a line or moves to
// another line with the keyboard (arrows, Home, End, pages, typing), never when the program
// selects one.
class ReportList : public QTreeWidget {
    Q_OBJECT

public:
    explicit ReportList(QWidget* parent = nullptr);

    // Shows column headers and keeps the selection visible without focus; one column.
    void SetUpColumn(const std::string& header, double widthTwips);
    double WidthTwips() const;

    int Count() const { return topLevelItemCount(); }
    // Adds a line at `position` (1-based; 0 = at the end). Throws std::invalid_argument when
    // the key is used already.
    void Add(int position, const std::string& key, const std::string& text);
    // Removes the line with `key`, leaving no line selected when it was the selected one;
    // throws std::out_of_range when there is none.
    void Remove(const std::string& key);
    void Clear() { clear(); }

    // Text and key of the line at `position`; throw std::out_of_range outside 1..Count.
    std::string TextAt(int position) const;
    std::string KeyAt(int position) const;
    std::string TextOf(const std::string& key) const;
    void SetTextOf(const std::string& key, const std::string& text);
    // Text colour of a line as an OLE colour; a line starts with the list's own colour.
    long ForeColorOf(const std::string& key) const;
    void SetForeColorOf(const std::string& key, long color);

    // Key of the selected line; "" when none.
    std::string SelectedKey() const;
    void Select(const std::string& key);
    void EnsureVisible(const std::string& key);

signals:
    void ItemClick(const std::string& key);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTreeWidgetItem* ItemAt(int position) const;
    QTreeWidgetItem* ItemOf(const std::string& key) const;
    // The line with `key`; throws std::out_of_range when there is none.
    QTreeWidgetItem* RequireItemOf(const std::string& key) const;
};

}  // namespace vesk::photo_editor
