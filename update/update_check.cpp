#include "update_check.h"

#include "comparison_rule.h"
#include "rules_statuses.h"

namespace update {

namespace {

const char kSection[] = "update";

}  // namespace

bool UpdateAvailable(const IniText& control, const FolderLookup& lookup, const LocalFileFacts& files,
                     const StatusSink& status) {
    const std::string date = control.String(kSection, "date");
    const std::string local_path = ExpandFolderTokens(control.String(kSection, "localversion"), lookup);
    // A date selects the date-based check: when it finds nothing new, only unconditional can
    // still announce an update.
    if (!date.empty()) {
        status(kStatusDateBased, "", kCodeProgress, 0);
        const UpdateTime new_time = ControlFileTime(date, control.String(kSection, "time"));
        const std::optional<UpdateTime> installed = local_path.empty() ? std::nullopt : files.ModifiedTime(local_path);
        if (IsEarlier(installed.value_or(kUnreadableDate), new_time)) {
            status(kStatusNewVersion, files.ShortDate(new_time), kCodeNewVersion, 0);
            return true;
        }
        status(kStatusNoNewVersion, "", kCodeNoNewVersion, 0);
        return !control.String(kSection, "unconditional").empty();
    }
    if (!control.String(kSection, "unconditional").empty()) return true;
    const std::string new_version = control.String(kSection, "newversion");
    const int32_t new_size = control.Integer(kSection, "newsize", 0);
    const int32_t new_checksum = control.Integer(kSection, "newchecksum", -1);
    if ((new_version.empty() && new_size <= 0 && new_checksum == -1) || local_path.empty()) return false;
    status(new_checksum != -1 ? kStatusChecksumBased : new_size < 1 ? kStatusVersionBased : kStatusSizeBased, "",
           kCodeProgress, 0);
    const Comparison comparison = CompareWithInstalled(new_version, local_path, new_checksum, new_size, files, status);
    if (comparison.newer) {
        status(kStatusNewVersion, comparison.new_version, kCodeNewVersion, 0);
        return true;
    }
    status(kStatusNoNewVersion, "", kCodeNoNewVersion, 0);
    return false;
}

}  // namespace update
