#pragma once

#include "app/Session.h"

#include <QtCore/QAbstractListModel>
#include <QtGui/QColor>
#include <QtGui/QIcon>

#include <vector>

namespace travonix {

// The relocation check's findings of the last make run for a list view, one
// row each: "function  address  kind  sentence", the sentence again as the
// tooltip (a row is often wider than the view).
class FindingListModel : public QAbstractListModel {
  public:
    explicit FindingListModel(const std::vector<ShownFinding>& findings, QObject* parent = nullptr);

    void setIcon(const QIcon& icon) { icon_ = icon; }
    // Takes the row count anew (see ListingModel::reload).
    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const std::vector<ShownFinding>& findings_;
    QIcon icon_;
    int rows_ = 0;
};

// The text colour of a function that has findings.
[[nodiscard]] QColor findingForeground();

} // namespace travonix
