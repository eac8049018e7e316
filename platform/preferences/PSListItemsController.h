#pragma once

// The choices of a multiple-choice row, on a list of their own: one row per title, a checkmark
// on the value stored now. Tapping a choice stores it through the row's setter, as the list
// controller would, and goes back.

#include "platform/preferences/Forward.h"
#include "platform/preferences/PSSpecifier.h"
#include "platform/uikit/UITableView.h"
#include "platform/uikit/UIViewController.h"

#include <memory>

class PSListItemsController : public UIViewController,
                              public UITableViewDataSource,
                              public UITableViewDelegate {
public:
    CV_DECLARE_CLASS()

    // The choices of `row` of `list` (neither owned: the list outlives this controller).
    PSListItemsController(PSListController* list, PSSpecifier* row);

    // Makes the table of choices, `frame` in its superview's coordinates.
    void loadView(CGRect frame) override;
    PSSpecifier* specifier() const { return row_; }

    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           NSIndexPath indexPath) override;
    void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;

    // Picks choice `index` as a tap on it does; false when there is no such choice.
    bool choose(std::size_t index);

private:
    PSListController* list_;
    PSSpecifier* row_;
};
