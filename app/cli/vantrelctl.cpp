// vantrelctl: the window's operations from the command line. It hands its command to a running
// Vantrel, or opens the keyboard itself through the same session the program uses.
#include "app/cli/commands.h"
#include "app/cli/handover.h"
#include "app/core/folders.h"
#include "app/core/language.h"
#include "app/core/options.h"
#include "app/core/product.h"
#include "app/core/session.h"
#include "app/core/settings.h"
#include "app/core/single_instance.h"
#include "app/core/startup.h"
#include "pelta/core/manager.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace vantrel;

namespace {

int Print(const CommandResult& result, bool json) {
    const std::string out = json ? result.json.Text() + "\n" : result.text;
    std::fputs(out.c_str(), result.code == kExitOk ? stdout : stderr);
    return result.code;
}

} // namespace

int main(int argc, char** argv) {
    // Global options first, then the command and its words.
    std::vector<std::string> globals, words;
    bool json = false, help = false;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--json") json = true;
        else if (a == "--help" || a == "-h") help = true;
        else if (a == "--simulate" || a.rfind("--simulate=", 0) == 0) globals.push_back(a);
        else if (a == "--trace-hid" && i + 1 < argc) {
            globals.push_back(a);
            globals.push_back(argv[++i]);
        } else if (a.rfind("--", 0) == 0 && words.empty()) {
            std::fprintf(stderr, "vantrelctl: unknown option '%s'\n%s", a.c_str(), CommandUsage("").c_str());
            return kExitUsage;
        } else {
            break;
        }
    }
    for (; i < argc; ++i) words.push_back(argv[i]);
    if (words.empty()) {
        std::fputs(CommandUsage("").c_str(), help ? stdout : stderr);
        return help ? kExitOk : kExitUsage;
    }
    if (help) words.push_back("--help");
    for (const std::string& w : words)
        if ((w == "--help" || w == "-h") && !CommandUsage(words[0]).empty()) {
            std::fputs(CommandUsage(words[0]).c_str(), stdout);
            return kExitOk;
        }

    std::string error;
    const auto options = ParseOptions(globals, &error);
    if (!options) {
        std::fprintf(stderr, "vantrelctl: %s\n", error.c_str());
        return kExitUsage;
    }

    const std::filesystem::path resources = ResourceFolder(ProgramFolder());
    if (auto name = ReadProductName(resources / "config.xml")) Pelta::Manager::SetDeviceName(*name);
    const std::u16string product = Pelta::Manager::GetDeviceName();
    const Folders folders = ResolveFolders(product);

    // A running program drives the keyboard: hand the command over.
    if (auto request = EncodeCommand(words)) {
        const auto socket = folders.runtime / (FileNameOf(product) + ".sock");
        if (auto answer = SingleInstance::Send(socket, *request + (json ? "\x1F--json" : ""), 300000)) {
            int code = kExitFailed;
            std::string output;
            if (!DecodeAnswer(*answer, &code, &output)) {
                std::fprintf(stderr, "vantrelctl: the running Vantrel answered: %s\n", answer->c_str());
                return kExitFailed;
            }
            std::fputs(output.c_str(), code == kExitOk ? stdout : stderr);
            return code;
        }
    } else {
        std::fprintf(stderr, "vantrelctl: arguments cannot hold line breaks\n");
        return kExitUsage;
    }

    SettingsStore settings(folders.config / "settings.ini");
    LanguageTexts texts(resources / "language", ResolveLanguageId(settings, UserDefaultLanguageId()));
    EnsureFolder(folders.data / "db");
    std::FILE* quiet = std::fopen("/dev/null", "w");
    int code;
    {
        Session session(folders, *options, texts, quiet ? quiet : stderr, [] {});
        if (!session.Open(&error)) {
            std::fprintf(stderr, "vantrelctl: %s\n", error.c_str());
            return kExitFailed;
        }
        session.Start(false);
        session.WaitIdle(std::chrono::seconds(30));
        code = Print(RunCommand(session, words), json);
    }
    if (quiet) std::fclose(quiet);
    return code;
}
