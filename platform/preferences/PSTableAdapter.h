#pragma once

// A list controller's rows as a grouped table shows them: each group row starts a section (its
// title the header, its "footerText" the footer) and the rows after it fill the section. A switch
// row carries a switch, a slider row a slider, a multiple-choice row its current title and a
// chevron; a touch on a switch or slider, or a tap on a button or choice row, goes to the list
// controller as a user's change.

#include "platform/preferences/Forward.h"
#include "platform/preferences/PSSpecifier.h"
#include "platform/uikit/UIControl.h"
#include "platform/uikit/UITableView.h"

#include <map>
#include <memory>
#include <vector>

namespace PSTableAdapterMessage {
inline constinit const UIControlAction switchChanged{"switchChanged:event:"};
inline constinit const UIControlAction sliderChanged{"sliderChanged:event:"};
}  // namespace PSTableAdapterMessage

class PSTableAdapter : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    CV_DECLARE_CLASS()

    // The adapter of `controller`'s rows (held weakly: the controller owns the adapter).
    explicit PSTableAdapter(PSListController* controller);

    // Sorts the controller's rows into sections; the table then asks for them again.
    void reload(UITableView& table);
    // The row shown at `indexPath`; nil for none.
    PSSpecifier* specifierAt(NSIndexPath indexPath) const;

    int numberOfSectionsInTableView(UITableView& tableView) override;
    int numberOfRowsInSection(UITableView& tableView, int section) override;
    std::shared_ptr<UITableViewCell> cellForRowAtIndexPath(UITableView& tableView,
                                                           NSIndexPath indexPath) override;
    std::string titleForHeaderInSection(UITableView& tableView, int section) override;
    std::string titleForFooterInSection(UITableView& tableView, int section) override;
    void didSelectRowAtIndexPath(UITableView& tableView, NSIndexPath indexPath) override;

private:
    struct Section {
        PSSpecifier* group = nullptr;  // the group row that starts it; nil for the first
        std::vector<PSSpecifier*> rows;
    };

    std::shared_ptr<UITableViewCell> cellFor(PSSpecifier& row, CGFloat width);
    void controlChanged(const NSObject* control);

    PSListController* controller_;
    std::vector<Section> sections_;
    // The switch or slider of each row, to find the row a control's action is about.
    std::map<const NSObject*, PSSpecifier*> controls_;
    friend void PSTableAdapterControlChanged(id, SEL, id, UIEvent*);
};
