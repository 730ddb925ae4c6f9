// The command line between the program and qvsetup.exe: what the client builds, qvsetup.exe reads
// back, whatever blanks, quotation marks and double-byte characters the parts hold.
#include <string>
#include <vector>

#include "check.h"
#include "replacement_command.h"

using update::BuildReplacementParameters;
using update::ParseReplacementParameters;

TEST(the_example_restart_passes_the_parts_separated_by_single_blanks) {
    CHECK_EQ(BuildReplacementParameters(1234, false, "C:\\Tools", "main.exe", "", "C:\\Temp\\", "main.exe"),
             "1234 X C:\\Tools\\main.exe \" \" \"C:\\Temp\\\" main.exe");
    CHECK_EQ(BuildReplacementParameters(5, true, "C:\\", "a.exe", "-s", "C:\\T\\", "a.exe"), "5 L C:\\a.exe -s \"C:\\T\\\" a.exe");
}

TEST(qvsetup_reads_back_what_the_client_built) {
    const struct {
        const char* name;
        unsigned long process_id;
        bool logging;
        const char* directory;
        const char* app_name;
        const char* app_params;
        const char* temp_folder;
        const char* components;
        const char* program_path;
        const char* program_parameters;
        std::vector<std::string> names;
    } rows[] = {
        {"the example", 1234, false, "C:\\Tools", "main.exe", "", "C:\\Temp\\", "main.exe", "C:\\Tools\\main.exe", " ",
         {"main.exe"}},
        {"blanks in every path", 4294967295ul, true, "C:\\Program Files\\Kestrune\\", "Kestrune.exe", "",
         "C:\\Documents and Settings\\user\\Local Settings\\Temp\\", "Kestrune.exe;REZ.hdb3",
         "C:\\Program Files\\Kestrune\\Kestrune.exe", " ", {"Kestrune.exe", "REZ.hdb3"}},
        {"parameters with blanks and quotation marks", 7, false, "C:\\Tools", "main.exe", "--open \"two words\" -x",
         "C:\\Temp\\", "main.exe, a.dll", "C:\\Tools\\main.exe", "--open \"two words\" -x", {"main.exe", "a.dll"}},
        {"parameters in quotation marks without a blank", 7, false, "C:\\Tools", "main.exe", "\"quoted\"",
         "C:\\Temp\\", "main.exe", "C:\\Tools\\main.exe", "\"quoted\"", {"main.exe"}},
        {"parameters that end in a backslash and a quotation mark", 8, false, "C:\\Tools", "main.exe",
         "\"C:\\Data\\\"", "C:\\Temp\\", "main.exe", "C:\\Tools\\main.exe", "\"C:\\Data\\\"", {"main.exe"}},
        {"a drive root and separators of every kind", 9, false, "C:\\", "a.exe", "", "C:\\Temp\\",
         "a.exe,b.dll;c.dat  d.txt ,; e.ini", "C:\\a.exe", " ", {"a.exe", "b.dll", "c.dat", "d.txt", "e.ini"}},
        // 乗 is 0x81 0x5C: its second byte is no folder separator.
        {"double-byte names whose second byte is a backslash", 99, true, "C:\\软件乗", "程序乗.exe", "",
         "C:\\临时 乗\\", "程序乗.exe", "C:\\软件乗\\程序乗.exe", " ", {"程序乗.exe"}},
    };
    for (const auto& row : rows) {
        CONTEXT(row.name);
        const std::string line = BuildReplacementParameters(row.process_id, row.logging, row.directory, row.app_name,
                                                            row.app_params, row.temp_folder, row.components);
        std::string error;
        // qvsetup.exe sees the line after its own name and a blank.
        const auto request = ParseReplacementParameters(" " + line, &error);
        CHECK_EQ(error, "");
        if (!request) continue;
        CHECK_EQ(request->process_id, row.process_id);
        CHECK_EQ(request->logging, row.logging);
        CHECK_EQ(request->program_path, row.program_path);
        CHECK_EQ(request->program_parameters, row.program_parameters);
        CHECK_EQ(request->component_folder, row.temp_folder);
        CHECK_EQ(request->components, row.names);
    }
}

TEST(a_line_of_another_form_is_refused_with_the_reason) {
    const struct {
        const char* line;
        const char* reason;
    } rows[] = {
        {"", "no process identifier: \"\""},
        {"abc X C:\\a.exe \" \" \"C:\\T\\\" a.exe", "no process identifier: \"abc\""},
        {"0 X C:\\a.exe \" \" \"C:\\T\\\" a.exe", "no process identifier: \"0\""},
        {"4294967296 X C:\\a.exe \" \" \"C:\\T\\\" a.exe", "no process identifier: \"4294967296\""},
        {"12 Y C:\\a.exe \" \" \"C:\\T\\\" a.exe", "no log flag L or X: \"Y\""},
        {"12 X", "no program path"},
        {"12 X \"C:\\a b.exe", "no program path"},
        {"12 X C:\\a.exe \" \" C:\\T\\ a.exe", "no component folder in quotation marks ending in a backslash"},
        {"12 X C:\\a.exe \" \" \"C:\\T\" a.exe", "no component folder in quotation marks ending in a backslash"},
        {"12 X C:\\a.exe \" \" \"C:\\T\\\"a.exe", "no component folder in quotation marks ending in a backslash"},
        {"12 X C:\\a.exe \" \" \"C:\\乗\" a.exe", "no component folder in quotation marks ending in a backslash"},
        {"12 X C:\\a.exe \"C:\\T\\\" a.exe", "no program parameters"},
        {"12 X C:\\a.exe \" \" \"C:\\T\\\"", "no components"},
        {"12 X C:\\a.exe \" \" \"C:\\T\\\" ,; ", "no components"},
    };
    for (const auto& row : rows) {
        CONTEXT(row.line);
        std::string error;
        CHECK(!ParseReplacementParameters(row.line, &error));
        CHECK_EQ(error, row.reason);
    }
}
