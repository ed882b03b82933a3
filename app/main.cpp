// Vantrel's entry: product name, single instance, language and folders, the device link with its
// worker, then the program runs until it is asked to quit.
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
#include "app/core/text_encoding.h"
#include "pelta/core/manager.h"

#include <atomic>
#include <csignal>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <sstream>

namespace {

using namespace vantrel;

std::mutex quitMutex;
std::condition_variable quitSignal;
bool quitRequested = false;

void RequestQuit() {
    std::lock_guard lock(quitMutex);
    quitRequested = true;
    quitSignal.notify_all();
}

std::atomic<Session*> runningSession{nullptr};

// Requests from a second start or from vantrelctl, on the single-instance socket's thread.
std::string HandleRequest(const std::string& request) {
    if (request == "raise") return "ok";
    if (auto words = DecodeCommand(request)) {
        Session* session = runningSession.load();
        if (!session) return EncodeAnswer(CommandResult{kExitFailed, "vantrel: still starting, try again\n", {}}, false);
        const bool json = !words->empty() && words->back() == "--json";
        if (json) words->pop_back();
        return EncodeAnswer(RunCommand(*session, *words), json);
    }
    std::istringstream in(request);
    std::string word;
    unsigned message = 0;
    long wparam = 0, lparam = 0;
    if (in >> word >> message >> wparam >> lparam && word == "message") {
        if (message == kQuitMessage && lparam == kQuitMessageParam) {
            RequestQuit();
            return "ok";
        }
        return "error message not handled";
    }
    return "error unknown request";
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!options) {
        std::fprintf(stderr, "vantrel: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    const std::filesystem::path resources = ResourceFolder(ProgramFolder());
    // Pelta finds the skin and the fonts there too.
    Pelta::Manager::SetResourceFolder(resources);
    if (auto name = ReadProductName(resources / "config.xml")) Pelta::Manager::SetDeviceName(*name);
    const std::u16string product = Pelta::Manager::GetDeviceName();
    const Folders folders = ResolveFolders(product);

    EnsureFolder(folders.runtime);
    SingleInstance instance(folders.runtime, FileNameOf(product));
    if (instance.Acquire(HandleRequest) == SingleInstance::Claim::kHandedOver) return 0;

    SettingsStore settings(folders.config / "settings.ini");
    LanguageTexts texts(resources / "language", ResolveLanguageId(settings, UserDefaultLanguageId()));
    EnsureFolder(folders.data / "db");

    // Signals end the program the same way the quit message does.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::thread([signals] {
        int received = 0;
        sigwait(&signals, &received);
        RequestQuit();
    }).detach();

    Session session(folders, *options, texts, stdout, RequestQuit);
    if (!session.Open(&error)) {
        std::fprintf(stderr, "vantrel: %s\n", error.c_str());
        return 1;
    }
    session.Start(true);
    runningSession = &session;
    std::fprintf(stderr, "%s: running (language %d). The main window is not part of this build yet; stop with Ctrl+C.\n",
                 WideToUtf8(product).c_str(), texts.LanguageId());

    {
        std::unique_lock lock(quitMutex);
        quitSignal.wait(lock, [] { return quitRequested; });
    }
    runningSession = nullptr;
    return 0; // quit message or signal; the session stops the worker and keeps the simulated keyboards' state
}
