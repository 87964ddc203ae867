#pragma once

#include "app/Session.h"
#include "core/Listing.h"

#include <QtCore/QAbstractListModel>
#include <QtCore/QString>
#include <QtGui/QIcon>

#include <vector>

namespace travonix {

// The functions found, by name, for a list view whose selection is the
// functions' selected state (the window keeps the two in step). A function
// with findings of the relocation check is marked (an icon and a colour of
// its own) and lists them in its tooltip.
class FunctionListModel : public QAbstractListModel {
  public:
    FunctionListModel(const std::vector<FunctionEntry>& functions,
                      const std::vector<ShownFinding>& findings, QObject* parent = nullptr);

    void setFindingIcon(const QIcon& icon) { findingIcon_ = icon; }
    // Takes the row count and the findings anew (see ListingModel::reload).
    void reload();
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const std::vector<FunctionEntry>& functions_;
    const std::vector<ShownFinding>& findings_;
    QIcon findingIcon_;
    std::vector<QString> findingTips_; // per row; empty for a function without findings
    int rows_ = 0;
};

} // namespace travonix
