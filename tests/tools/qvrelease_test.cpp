// qvrelease through the real executable: signing fills every entry's hash and size where the
// program reads them, keeps the rest of the control file byte for byte and writes a signature
// OpenSSL accepts; checking passes a sound folder and names every fault while still reporting
// every entry; a folder or key that cannot be vouched for is refused and nothing is written.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "check.h"
#include "file_system.h"
#include "fixtures.h"
#include "tool_runner.h"

namespace {

const std::string kKey = std::string(TEST_KEY_FOLDER) + "/test_update_key.pem";
const std::string kPublicKey = std::string(TEST_KEY_FOLDER) + "/test_update_key.pub.pem";
// SHA-256 of "database bytes" and "program bytes", the two files of every test folder.
const std::string kDatabaseHash = "9b76aee208d5c14d1920b0498a3d06fff761dcc6ef7b16d0fcecaa233181e248";
const std::string kProgramHash = "d65a3f878bd10ea32143bb3168cf9747b1927b358b3da52dc4d616eebb40b7cc";

// A database update and a program update; the program's url gives the local name "v=2".
const std::string kControl =
    "; the test update\r\n[update]\r\nnewversion=1.0.1.0\r\n[files]\r\ncount=2\r\n\r\n"
    "[file1]\r\nurl=http://h/QV/REZ.hdb3\r\nsha256=stale\r\ntargetdir={APP}\r\n\r\n"
    "; the program\r\n[file2]\r\nurl=http://h/QV/Kestrune.exe?v=2\r\n";

std::string Shell(const std::string& word) { return "'" + word + "'"; }

// An update folder holding the control file and the files entries may name.
class UpdateFolder {
public:
    explicit UpdateFolder(const std::string& control) : path_(scratch_ / "QV") {
        CreateDirectories(path_);
        WriteFile(File("qv_update.INF"), control);
        WriteFile(File("REZ.hdb3"), "database bytes");
        WriteFile(File("v=2"), "program bytes");
        WriteFile(File("empty.dat"), "");
    }

    std::string File(const std::string& name) const { return JoinPath(path_, name); }
    std::string Control() const { return ReadFile(File("qv_update.INF")); }

    ToolRun Sign(const std::string& key = kKey) const { return Run({"sign", path_, "--key", key}); }
    ToolRun Check(const std::string& public_key = kPublicKey) const {
        return Run({"check", path_, "--public-key", public_key});
    }
    ToolRun Run(const std::vector<std::string>& arguments) const {
        return RunTool(QVRELEASE_PATH, arguments, scratch_.Path());
    }
    // What the program's verification does, by OpenSSL's own command.
    bool OpenSslVerifies(const std::string& public_key) const {
        const std::string command = "openssl dgst -sha256 -verify " + Shell(public_key) + " -signature " +
                                    Shell(File("qv_update.INF.sig")) + " " + Shell(File("qv_update.INF")) +
                                    " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    }
    void SignByHand() const {
        const std::string command = "openssl dgst -sha256 -sign " + Shell(kKey) + " -out " +
                                    Shell(File("qv_update.INF.sig")) + " " + Shell(File("qv_update.INF"));
        CHECK_EQ(std::system(command.c_str()), 0);
    }

private:
    ScopedTempFolder scratch_;
    std::string path_;
};

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    CHECK(at != std::string::npos);
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace

TEST(sign_fills_each_entry_where_the_program_reads_it_and_keeps_the_rest) {
    const struct {
        const char* name;
        std::string control, signed_control;
    } cases[] = {
        {"CRLF file: a stale hash replaced where it stands, the size added after the section's last key",
         kControl,
         "; the test update\r\n[update]\r\nnewversion=1.0.1.0\r\n[files]\r\ncount=2\r\n\r\n"
         "[file1]\r\nurl=http://h/QV/REZ.hdb3\r\nsha256=" + kDatabaseHash +
             "\r\ntargetdir={APP}\r\nfilesize=14\r\n\r\n"
             "; the program\r\n[file2]\r\nurl=http://h/QV/Kestrune.exe?v=2\r\nsha256=" + kProgramHash +
             "\r\nfilesize=13\r\n"},
        {"names in any case, a repeated key dropped, a repeated section left as the program ignores it",
         "[Files]\ncount = 1\n[ FILE1 ]\n  SHA256 = old\nurl = \"http://h/QV/REZ.hdb3\"\nFileSize=1\nfilesize=2\n"
         "; sha256=in a comment\n[file1]\nsha256=ignored\n",
         "[Files]\ncount = 1\n[ FILE1 ]\nsha256=" + kDatabaseHash + "\nurl = \"http://h/QV/REZ.hdb3\"\nfilesize=14\n"
         "; sha256=in a comment\n[file1]\nsha256=ignored\n"},
        {"last line without line ending", "[files]\ncount=1\n[file1]\nurl=http://h/QV/REZ.hdb3",
         "[files]\ncount=1\n[file1]\nurl=http://h/QV/REZ.hdb3\nsha256=" + kDatabaseHash + "\nfilesize=14\n"},
        {"no file entries: signed as it stands", "[update]\nunconditional=1\n[files]\ncount=0\n",
         "[update]\nunconditional=1\n[files]\ncount=0\n"},
    };
    for (const auto& row : cases) {
        check::Context context(row.name);
        const UpdateFolder folder(row.control);
        const ToolRun signing = folder.Sign();
        CHECK_EQ(signing.exit_code, 0);
        CHECK_EQ(signing.err, "");
        CHECK_EQ(folder.Control(), row.signed_control);
        CHECK(folder.OpenSslVerifies(kPublicKey));
        const ToolRun checking = folder.Check();
        CHECK_EQ(checking.exit_code, 0);
        CHECK_MENTIONS(checking.out, "qv_update.INF.sig: ok\n");
        CHECK_MENTIONS(checking.out, "is ready to publish\n");
    }
    const UpdateFolder folder(kControl);
    CHECK_EQ(folder.Sign().exit_code, 0);
    CHECK_MENTIONS(folder.Check().out, "[file1] REZ.hdb3: ok\n[file2] v=2: ok\n");
}

// The example update folder's layout (a database and a program) signs and checks; its
// newchecksum is the byte sum that signing reports for its database.
TEST(example_control_file_signs_and_checks) {
    const UpdateFolder folder(ReadFile(EXAMPLE_CONTROL_FILE));
    WriteFile(folder.File("Kestrune.exe"), "program bytes");
    const ToolRun signing = folder.Sign();
    CHECK_EQ(signing.exit_code, 0);
    CHECK_MENTIONS(signing.out, "[file1] REZ.hdb3: 14 bytes, sha256 " + kDatabaseHash + ", byte sum 0x0000057B\n");
    CHECK_MENTIONS(folder.Control(), "\r\nnewchecksum=0x0000057B\r\n");
    CHECK_EQ(folder.Check().exit_code, 0);
}

TEST(check_names_each_fault_and_still_reports_every_entry) {
    const struct {
        const char* name;
        void (*spoil)(const UpdateFolder& folder);
        std::string public_key;
        const char* fault;
        const char* still_ok;
    } cases[] = {
        {"database changed, its length kept",
         [](const UpdateFolder& f) { WriteFile(f.File("REZ.hdb3"), "database bytez"); }, kPublicKey,
         "[file1] REZ.hdb3: SHA-256 differs from the control file's sha256\n", "[file2] v=2: ok\n"},
        {"program missing", [](const UpdateFolder& f) { std::remove(f.File("v=2").c_str()); }, kPublicKey,
         "[file2] v=2: missing from the folder\n", "[file1] REZ.hdb3: ok\n"},
        {"control file changed after signing",
         [](const UpdateFolder& f) { WriteFile(f.File("qv_update.INF"), f.Control() + "\r\n"); }, kPublicKey,
         "qv_update.INF.sig: does not match qv_update.INF and the public key\n", "[file1] REZ.hdb3: ok\n"},
        {"signature missing", [](const UpdateFolder& f) { std::remove(f.File("qv_update.INF.sig").c_str()); },
         kPublicKey, "qv_update.INF.sig: missing\n", "[file2] v=2: ok\n"},
        {"signed with another key", [](const UpdateFolder&) {}, OTHER_PUBLIC_KEY,
         "qv_update.INF.sig: does not match qv_update.INF and the public key\n", "[file1] REZ.hdb3: ok\n"},
        {"filesize edited and signed again",
         [](const UpdateFolder& f) {
             WriteFile(f.File("qv_update.INF"), Replaced(f.Control(), "filesize=14", "filesize=15"));
             f.SignByHand();
         },
         kPublicKey, "[file1] REZ.hdb3: size 14 differs from the control file's filesize 15\n",
         "qv_update.INF.sig: ok\n"},
        {"sha256 removed and signed again",
         [](const UpdateFolder& f) {
             WriteFile(f.File("qv_update.INF"), Replaced(f.Control(), "sha256=" + kProgramHash + "\r\n", ""));
             f.SignByHand();
         },
         kPublicKey, "[file2] v=2: the control file gives no sha256\n", "[file1] REZ.hdb3: ok\n"},
    };
    for (const auto& row : cases) {
        check::Context context(row.name);
        const UpdateFolder folder(kControl);
        CHECK_EQ(folder.Sign().exit_code, 0);
        row.spoil(folder);
        const ToolRun checking = folder.Check(row.public_key);
        CHECK_EQ(checking.exit_code, 1);
        CHECK_MENTIONS(checking.out, row.fault);
        CHECK_MENTIONS(checking.out, row.still_ok);
        CHECK_MENTIONS(checking.err, "is not ready to publish: 1 fault\n");
    }
}

TEST(sign_refuses_what_it_cannot_vouch_for_and_writes_nothing) {
    ScopedTempFolder keys;
    const std::string weak_key = keys / "weak.pem";
    CHECK_EQ(std::system(("openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:1024 -out " + Shell(weak_key) +
                          " 2>/dev/null")
                             .c_str()),
             0);
    const std::string one_entry = "[files]\ncount=1\n[file1]\nurl=http://h/QV/";
    const struct {
        const char* name;
        std::string control, key;
        const char* report;
    } cases[] = {
        {"file missing", one_entry + "absent.dat\n", kKey, "[file1] absent.dat: no such file in "},
        {"file empty", one_entry + "empty.dat\n", kKey, "[file1] empty.dat: the file is empty"},
        {"device name", one_entry + "CON\n", kKey, "[file1] url http://h/QV/CON gives no safe local file name"},
        {"dot-dot", one_entry + "..\n", kKey, "[file1] url http://h/QV/.. gives no safe local file name"},
        {"url naming a folder", one_entry + "\n", kKey, "[file1] url http://h/QV/ gives no safe local file name"},
        {"control file as an entry", one_entry + "QV_UPDATE.INF\n", kKey,
         "[file1] QV_UPDATE.INF: the control file and its signature cannot be entries"},
        {"section missing behind a sound one", "[files]\ncount=2\n[file1]\nurl=http://h/QV/REZ.hdb3\n", kKey,
         "[file2] has no url (is the section missing?)"},
        {"count garbage", "[files]\ncount=many\n", kKey, "[files] count is missing or not a number from 0 to 1000"},
        {"count missing", "[update]\nnewversion=1.0.1.0\n", kKey, "[files] count is missing"},
        {"count beyond what the program reads", "[files]\ncount=1001\n", kKey, "[files] count is missing"},
        {"byte-order mark", "\xEF\xBB\xBF" + one_entry + "REZ.hdb3\n", kKey, "starts with a UTF-8 byte-order mark"},
        {"key absent", one_entry + "REZ.hdb3\n", keys / "absent.pem", "cannot open the key "},
        {"public key given", one_entry + "REZ.hdb3\n", kPublicKey, "no private key in "},
        {"weak key", one_entry + "REZ.hdb3\n", weak_key, "holds an RSA key of 1024 bits"},
    };
    for (const auto& row : cases) {
        check::Context context(row.name);
        const UpdateFolder folder(row.control);
        const ToolRun signing = folder.Sign(row.key);
        CHECK_EQ(signing.exit_code, 1);
        CHECK_MENTIONS(signing.err, row.report);
        CHECK_EQ(folder.Control(), row.control);
        CHECK(!FileExists(folder.File("qv_update.INF.sig")));
    }
    const UpdateFolder folder(kControl);
    CHECK_EQ(folder.Run({"sign", folder.File("")}).exit_code, 2);
}
