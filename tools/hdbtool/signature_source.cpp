#include "signature_source.h"

#include <set>

#include "catalogue_rules.h"
#include "category_files.h"
#include "code_page.h"
#include "text_rules.h"

namespace {

constexpr char kKeyTag[] = "KEY";
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// One "TAG: text" line as written.
struct TaggedLine {
    std::string tag, value;
    std::size_t line = 0;
};

std::string KeyFault(const std::string& key) {
    if (key.empty()) return "empty KEY";
    for (char c : key) {
        const bool allowed = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                             c == '_' || c == '-';
        if (!allowed) return "key \"" + key + "\" may hold only ASCII letters, digits, '.', '_' and '-'";
    }
    // GetCategoryFile takes the first MAPPED field holding a category name; field 0 must never be it.
    if (ContainsExact(key, "SID_")) return "key \"" + key + "\" must not contain SID_, which begins every file name";
    return "";
}

// The first character of a UTF-8 text that code page 936 lacks, for the message.
std::string FirstUnrepresentable(const std::string& utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = Utf8CharacterLength(utf8, at);
        const std::string character = utf8.substr(at, length);
        std::string converted;
        if (!Utf8ToCp936(character, converted)) return character;
        at += length;
    }
    return utf8;
}

// A quote opens a run that only the same quote closes, separators included (as SplitByBar reads).
bool HasUnclosedQuote(const std::string& text) {
    char open = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsLeadByte(static_cast<unsigned char>(c))) {
            ++i;
        } else if (open) {
            if (c == open) open = 0;
        } else if (c == '"' || c == '\'') {
            open = c;
        }
    }
    return open != 0;
}

std::string Joined(const StringList& fields) {
    std::string text;
    for (const std::string& field : fields) text += (text.empty() ? "" : "|") + field;
    return text;
}

// What is wrong with one record's text (code page 936, key included), or empty.
std::string RecordFault(const CategoryLayout& category, const std::string& record) {
    for (unsigned char c : record)
        if (c < 0x20) return "control character in the text (tabs included)";
    if (HasUnclosedQuote(record)) return "unclosed quote: the rest of the record would read as one field";
    StringList fields;
    SplitByBar(record, fields);
    if (Joined(fields) != record)
        return "empty field (a bar at the start or end, or two bars in a row): fields are counted without "
               "empty ones";
    for (std::size_t i = 1; i < fields.size(); ++i) {
        const std::string& field = fields[i];
        if (field.front() == ' ' || field.back() == ' ')
            return "field " + std::to_string(i) + " " + Quoted(field) + " begins or ends with a blank";
    }
    const std::string fault = LayoutFault(category, fields);
    if (!fault.empty() || &category != &CatalogueLayout()) return fault;
    return CatalogueFault(record, fields);
}

bool SplitTaggedLines(const std::string& display_name, const StringList& lines, std::vector<TaggedLine>& tagged,
                      FaultLog& faults) {
    bool ok = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trimmed(lines[i]);
        if (line.empty() || line[0] == '#') continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            faults.Add(Place(display_name, i + 1), "expected \"CATEGORY: text\" or \"KEY: key\"");
            ok = false;
            continue;
        }
        tagged.push_back({Trimmed(line.substr(0, colon)), Trimmed(line.substr(colon + 1)), i + 1});
    }
    return ok;
}

std::string KnownTags() {
    std::string text = kKeyTag;
    text += std::string(", ") + CatalogueLayout().code;
    for (const CategoryLayout& layout : RecordCategories()) text += std::string(", ") + layout.code;
    return text;
}

}  // namespace

bool ParseProgramSource(const std::string& display_name, const std::string& utf8_text, const std::string& type,
                        ProgramSource& program, FaultLog& faults) {
    const std::size_t faults_before = faults.Count();
    program = ProgramSource();
    program.type = type;

    std::string text = utf8_text;
    if (text.compare(0, 3, kByteOrderMark) == 0) text.erase(0, 3);
    StringList lines;
    SplitTextLines(text, lines);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!IsValidUtf8(lines[i])) {
            faults.Add(Place(display_name, i + 1), "not valid UTF-8");
            return false;
        }
    }
    std::vector<TaggedLine> tagged;
    SplitTaggedLines(display_name, lines, tagged, faults);

    // The key first: every record is prefixed with it.
    std::size_t key_line = 0;
    for (const TaggedLine& line : tagged) {
        if (line.tag != kKeyTag) continue;
        const std::string place = Place(display_name, line.line);
        if (key_line) {
            faults.Add(place, "second KEY line (the first is at line " + std::to_string(key_line) + ")");
            continue;
        }
        key_line = line.line;
        program.key = line.value;
        program.key_place = place;
        const std::string fault = KeyFault(line.value);
        if (!fault.empty()) faults.Add(place, fault);
    }
    if (!key_line) {
        faults.Add(display_name, "no KEY line: every program needs a key");
        return false;
    }

    std::size_t catalogue_line = 0;
    std::set<std::string> seen;
    for (const TaggedLine& line : tagged) {
        if (line.tag == kKeyTag) continue;
        const std::string place = Place(display_name, line.line);
        const CategoryLayout* category = FindSourceCategory(line.tag);
        if (!category) {
            faults.Add(place, "unknown category \"" + line.tag + "\" (known: " + KnownTags() + ")");
            continue;
        }
        if (line.value.empty()) {
            faults.Add(place, std::string("empty ") + category->code + " record");
            continue;
        }
        if (category == &CatalogueLayout()) {
            if (catalogue_line) {
                faults.Add(place, "second LI line: a program has one catalogue line (the first is at line " +
                                      std::to_string(catalogue_line) + ")");
                continue;
            }
            catalogue_line = line.line;
        }
        std::string value;
        if (!Utf8ToCp936(line.value, value)) {
            faults.Add(place, "\"" + FirstUnrepresentable(line.value) + "\" has no form in code page 936");
            continue;
        }
        const std::string record = program.key + "|" + value;
        const std::string fault = RecordFault(*category, record);
        if (!fault.empty()) {
            faults.Add(place, fault);
            continue;
        }
        if (!seen.insert(std::string(category->code) + "|" + value).second) {
            faults.Add(place, std::string("duplicate ") + category->code + " record");
            continue;
        }
        program.records.push_back({category, record, place});
    }
    if (!catalogue_line) faults.Add(display_name, "no LI line: every program needs its catalogue line");
    bool has_records = false;
    for (const SourceRecord& record : program.records)
        has_records = has_records || record.category != &CatalogueLayout();
    if (!has_records && faults.Count() == faults_before)
        faults.Add(display_name, "no records besides the catalogue line: a program needs at least one");
    return faults.Count() == faults_before;
}
