#include "selected_program.h"

#include "text_rules.h"
#include "tqx.h"

std::string SelectedProgramName(const TQX& engine) {
    const StringList* catalogue = engine.SoftwareListOf(engine.SoftwareType);
    const int row = engine.SelectedIndex;
    if (!catalogue || row < 0 || row >= static_cast<int>(catalogue->size())) return "";
    StringList fields;
    SplitByBar((*catalogue)[static_cast<size_t>(row)], fields);
    return fields.size() > 1 ? Trimmed(fields[1]) : "";
}
