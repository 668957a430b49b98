#pragma once

// Batch edit: the same changes to every wrestler of the roster that meets some conditions.
// Shared by `hv roster batch` and the "Batch Edit..." window.
//
// A change is FIELD=VALUE, with a field name of `hv roster set`. On a number field, +N or -N
// adds to the stored number (a blank line counts as 0) and the sum, kept at or above the
// field's minimum, is written as the game writes numbers (" 70 "); on a text field +N and -N
// are refused; any other value is written as given, as `hv roster set` writes it. carder and
// finishertype take the words shown, in any case.
//
// A condition is FIELD OP VALUE. Every field is compared as `hv roster show` shows it (the
// carder and finisher type as words, which a condition names as a change does, in any case,
// with = != or ~). `=` and `!=` compare as numbers when both sides are numbers, else byte for
// byte; `<` `>` `<=` `>=` compare numbers, and a wrestler whose value is no number does not
// meet them; `~` is "contains", in any case, and needs a text.

#include "roster_ops.h"

#include "gamefiles/assignments.h"
#include "gamefiles/error.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv::roster {

// A change or condition that cannot be read: an unknown field, operator or a value the field
// does not take. Nothing is read or written when one is thrown.
class BatchSyntaxError : public OperationRefused {
public:
    using OperationRefused::OperationRefused;
};

using hv::Compare;

// The command whose fields a batch's conditions and changes name.
inline constexpr std::string_view kRosterSetCommand = "hv roster set";

struct Condition {
    const Field* field; // from the record kind's field table: its line and its rules
    Compare op;
    std::string value;
    std::optional<long long> number; // the value as a number, when it is one
};
// "FIELD OP VALUE"; blanks around the field and the operator are skipped. The field is one of
// `fields`, those of the command `setCommand`.
Condition parseCondition(std::string_view text, std::span<const Field> fields = kWrestlerFields,
                         std::string_view setCommand = kRosterSetCommand);
// Whether a stored line of the condition's field meets it.
bool conditionMet(const Condition& condition, std::string_view stored);

struct FieldChange {
    WrestlerRecord::Line field;
    std::string value;              // the line to write (a carder as its code)
    std::optional<long long> delta; // +N / -N on a number field
};
// "FIELD=VALUE".
FieldChange parseChange(std::string_view text);

struct BatchEdit {
    std::vector<FieldChange> changes;
    std::vector<Condition> conditions;
    std::string description; // the changes as given, for the restore point
};
// At least one change, no field changed twice; blank entries are skipped.
BatchEdit parseBatch(const std::vector<std::string>& changes,
                     const std::vector<std::string>& conditions);

// What a batch edit changes, values as `hv roster show` shows them.
using BatchPlan = RosterChanges;

// What the edit would change; reads only.
BatchPlan planBatch(const RosterFile& roster, const BatchEdit& edit);
// Makes the changes of planBatch in one rewrite and one restore point ("Batch edit: ...");
// nothing is written when nothing changes. A +N/-N on a stored value that is no number is
// refused, naming the file and line, and nothing is written.
BatchPlan applyBatch(const RosterFile& roster, const BatchEdit& edit);
// As applyBatch, but only while the plan is still `shown` (what the user saw and agreed to),
// both told under the game folder's lock: otherwise nothing is written and `applied` is false.
struct BatchResult {
    BatchPlan plan; // as it is now
    bool applied = false;
};
BatchResult applyBatchIfPlanned(const RosterFile& roster, const BatchEdit& edit,
                                const BatchPlan& shown);

} // namespace hv::roster
