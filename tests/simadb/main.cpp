// A stand-in for adb that answers each command line from the recorded outputs of one device profile,
// so the app and its tests run the same /bin/sh command lines without a phone.
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace {

const fs::path profilesDir{TELVANE_SIM_PROFILES_DIR};

// A broken fixture must fail loudly, and with a code no recorded answer uses.
[[noreturn]] void fail(const std::string& why) {
    std::cerr << "adb (simulated): " << why << '\n';
    std::exit(2);
}

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Several commands at once append to one file, each in one step. On Linux a file opened to append is written
// at its end in one step; Wine seeks to the end and then writes, so there one command writes at a time: the
// file is opened for nobody else to write, the others wait their turn.
void append(const fs::path& path, const std::string& text) {
#ifdef _WIN32
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 10000; ++tries) {
        file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(1);
    }
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
        CloseHandle(file);
    }
#else
    std::ofstream(path, std::ios::app | std::ios::binary) << text;
#endif
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string firstLine(const fs::path& path) {
    const auto text = readFile(path);
    return text ? trimmed(text->substr(0, text->find('\n'))) : std::string();
}

// Answer files are named after the command line: ASCII letters and digits survive, every other run becomes "-".
std::string slugOf(const std::string& key) {
    std::string slug;
    bool gap = false;
    for (char c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
            if (gap && !slug.empty()) {
                slug += '-';
            }
            gap = false;
            slug += c;
        } else {
            gap = true;
        }
    }
    return slug;
}

// A bare name is a folder of the profiles dir; anything with a slash is a path, relative to base.
fs::path profileFolder(const std::string& ref, const fs::path& base) {
    if (ref.find('/') == std::string::npos) {
        return profilesDir / ref;
    }
    return fs::path(ref).is_absolute() ? fs::path(ref) : base / ref;
}

fs::path chosenProfile(const char* argv0) {
    if (const char* env = std::getenv("TELVANE_SIM_PROFILE"); env && *env) {
        return profileFolder(env, fs::current_path());
    }
    std::error_code ec;
#ifdef _WIN32
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    fs::path exe = name.empty() ? fs::absolute(argv0, ec) : fs::path(name);
#else
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        exe = fs::absolute(argv0, ec);
    }
#endif
    const fs::path exeDir = exe.parent_path();
    if (const std::string ref = firstLine(exeDir / "adb.profile"); !ref.empty()) {
        return profileFolder(ref, exeDir);
    }
    return profilesDir / "modern";
}

// The profile first, then the ones it inherits from; a name is looked for beside the profile, then in profilesDir.
std::vector<fs::path> profileChain(fs::path folder) {
    std::vector<fs::path> chain;
    std::set<fs::path> seen;
    while (true) {
        std::error_code ec;
        if (!fs::is_directory(folder, ec)) {
            fail("no profile folder " + folder.string());
        }
        folder = fs::canonical(folder, ec);
        if (!seen.insert(folder).second) {
            break;
        }
        chain.push_back(folder);
        const std::string parent = firstLine(folder / "_inherit");
        if (parent.empty()) {
            break;
        }
        const fs::path sibling = folder.parent_path() / parent;
        folder = fs::is_directory(sibling, ec) ? sibling : profilesDir / parent;
    }
    return chain;
}

struct Answer {
    std::optional<std::string> out;
    std::optional<std::string> err;
    std::optional<std::string> exitCode;
};

std::optional<Answer> answerIn(const std::vector<fs::path>& chain, const std::string& stem) {
    for (const fs::path& folder : chain) {
        Answer answer{readFile(folder / (stem + ".out")), readFile(folder / (stem + ".err")),
                      readFile(folder / (stem + ".exit"))};
        if (answer.out || answer.err || answer.exitCode) {
            return answer;
        }
    }
    return std::nullopt;
}

// How slowly a phone answers: a wait before the answer, a pause between its lines, or no end at all.
struct Pace {
    long waitMs = 0;
    long dripMs = 0;
    bool hang = false;
};

// "<stem>.wait" and "<stem>.drip" hold milliseconds, "<stem>.hang" makes the command never end once it has
// printed; looked up along the profile chain, each on its own, then as "_default.*" for phone commands.
Pace paceOf(const std::vector<fs::path>& chain, const std::string& stem, bool phoneCommand) {
    const auto find = [&](const std::string& extension) -> std::optional<std::string> {
        for (const std::string& name : {stem, std::string("_default")}) {
            if (name != stem && !phoneCommand) {
                break;
            }
            for (const fs::path& folder : chain) {
                if (auto text = readFile(folder / (name + extension))) {
                    return text;
                }
            }
        }
        return std::nullopt;
    };
    const auto milliseconds = [&](const std::string& extension) {
        const auto text = find(extension);
        return text ? std::atol(trimmed(*text).c_str()) : 0L;
    };
    return {milliseconds(".wait"), milliseconds(".drip"), find(".hang").has_value()};
}

int play(const Answer& answer, const Pace& pace) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pace.waitMs));
    // A complaint on standard error comes first, whatever the C library buffers: so it does from a real
    // phone, and so the recorded profiles read the same on every system.
    if (answer.err) {
        std::fwrite(answer.err->data(), 1, answer.err->size(), stderr);
        std::fflush(stderr);
    }
    if (answer.out && pace.dripMs > 0) {
        for (std::size_t start = 0; start < answer.out->size();) {
            const std::size_t end = std::min(answer.out->find('\n', start), answer.out->size() - 1) + 1;
            std::fwrite(answer.out->data() + start, 1, end - start, stdout);
            std::fflush(stdout);
            std::this_thread::sleep_for(std::chrono::milliseconds(pace.dripMs));
            start = end;
        }
    } else if (answer.out) {
        std::fwrite(answer.out->data(), 1, answer.out->size(), stdout);
    }
    std::fflush(stdout);
    while (pace.hang) {
        std::this_thread::sleep_for(std::chrono::hours(1));
    }
    if (!answer.exitCode) {
        return 0;
    }
    const std::string text = trimmed(*answer.exitCode);
    int code = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    if (error != std::errc() || end != text.data() + text.size()) {
        fail("bad exit code \"" + text + "\"");
    }
    return code;
}

// The serials of the phones a profile has attached: its "_phones" file ("serial TAB profile" per line)
// when it describes several phones, else the serials its "devices" answer lists.
struct Phone {
    std::string serial;
    std::string profile; // empty: the profile itself answers for it
    long goneAfter = 0;  // the phone leaves once "devices" was asked that many times (0: it stays)
    // Connected over Wi-Fi: its "devices -l" details.
    std::string details{};
};

std::vector<Phone> listedPhones(const std::vector<fs::path>& chain) {
    std::vector<Phone> phones;
    for (const fs::path& folder : chain) {
        if (const auto list = readFile(folder / "_phones")) {
            std::size_t start = 0;
            while (start < list->size()) {
                const std::size_t end = std::min(list->find('\n', start), list->size());
                const std::string line = list->substr(start, end - start);
                if (const auto tab = line.find('\t'); tab != std::string::npos) {
                    const auto gone = line.find('\t', tab + 1);
                    phones.push_back({line.substr(0, tab), trimmed(line.substr(tab + 1, gone - tab - 1)),
                                      gone == std::string::npos ? 0 : std::atol(line.c_str() + gone + 1)});
                }
                start = end + 1;
            }
            return phones;
        }
    }
    const auto answer = answerIn(chain, "devices");
    const std::string text = answer && answer->out ? *answer->out : std::string();
    bool listed = false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        if (listed && line.find('\t') != std::string::npos) {
            phones.push_back({line.substr(0, line.find('\t')), {}});
        }
        listed = listed || line.find("devices attached") != std::string::npos;
        start = end + 1;
    }
    return phones;
}

std::vector<std::string> linesOf(const std::optional<std::string>& text) {
    std::vector<std::string> lines;
    std::istringstream in(text.value_or(std::string()));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::optional<std::string> profileFile(const std::vector<fs::path>& chain, const std::string& name) {
    for (const fs::path& folder : chain) {
        if (auto text = readFile(folder / name)) {
            return text;
        }
    }
    return std::nullopt;
}

// The wireless commands keep a little state between calls in the folder TELVANE_SIM_STATE names (none without
// it): "attached" the serials connected over Wi-Fi, "polls" one line per mDNS poll, "scanned" the QR text the
// phone scanned (a test writes it), "restarting" while the phone restarts in TCP mode.
std::vector<std::string> stateLines(const std::string& name) {
    const char* folder = std::getenv("TELVANE_SIM_STATE");
    return folder && *folder ? linesOf(readFile(fs::path(folder) / name)) : std::vector<std::string>();
}

void writeState(const std::string& name, const std::vector<std::string>& lines, bool appending = false) {
    if (const char* folder = std::getenv("TELVANE_SIM_STATE"); folder && *folder) {
        std::string text;
        for (const std::string& line : lines) {
            text += line + '\n';
        }
        appending ? append(fs::path(folder) / name, text)
                  : void(std::ofstream(fs::path(folder) / name, std::ios::binary) << text);
    }
}

// Then the phones connected over Wi-Fi, each with its "_wireless" line ("serial TAB profile TAB details").
std::vector<Phone> attachedPhones(const std::vector<fs::path>& chain) {
    std::vector<Phone> phones = listedPhones(chain);
    for (const std::string& serial : stateLines("attached")) {
        for (const std::string& line : linesOf(profileFile(chain, "_wireless"))) {
            if (line.rfind(serial + '\t', 0) == 0) {
                const std::size_t tab = line.find('\t', serial.size() + 1);
                phones.push_back(
                    {serial, line.substr(serial.size() + 1, tab - serial.size() - 1), 0, line.substr(tab + 1)});
            }
        }
    }
    return phones;
}

// One field of the QR text "WIFI:T:ADB;S:<name>;P:<password>;;".
std::string qrField(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key) + key.size();
    return text.substr(at, text.find(';', at) - at);
}

void attach(const std::string& serial) {
    if (const auto attached = stateLines("attached");
        std::find(attached.begin(), attached.end(), serial) == attached.end()) {
        writeState("attached", {serial}, true);
    }
}

// The host's wireless commands, and a phone restarting in TCP mode, which refuses the first connect after.
std::optional<int> wirelessAnswer(const std::vector<fs::path>& chain, const std::vector<std::string>& args,
                                  const std::string& stem, const Pace& pace) {
    const std::string command = args[0] + (args.size() > 1 ? " " + args[1] : "");
    const auto pairing = profileFile(chain, "_pairing");
    auto answer = answerIn(chain, stem);
    if (args[0] == "tcpip") {
        writeState("restarting", {"yes"});
    } else if (args[0] == "connect" && !stateLines("restarting").empty()) {
        writeState("restarting", {});
        std::cout << "failed to connect to '" << args.back() << "': Connection refused\n";
        return 1;
    } else if (args[0] == "connect" && answer && answer->out && answer->out->rfind("connected to ", 0) == 0) {
        attach(trimmed(answer->out->substr(13)));
    } else if (args[0] == "pair" && args.size() == 3 && pairing) {
        // The code the phone shows ("_pairing": "address TAB code"), or the password of the QR code it scanned.
        std::string expected = pairing->substr(pairing->find('\t') + 1, 6);
        for (const std::string& scanned : stateLines("scanned")) {
            expected = qrField(scanned, ";P:");
        }
        // A phone whose pairing adb remembers is connected by adb on its own once paired ("_autoconnect").
        if (args[2] == expected && profileFile(chain, "_autoconnect")) {
            attach(trimmed(*profileFile(chain, "_autoconnect")));
        }
        answer = answerIn(chain, args[2] == expected ? "pair" : "pair-failed");
    } else if (command == "mdns services" && answer && answer->out && pairing) {
        // The phone offers the pairing service of the QR code it scanned from the third poll on.
        writeState("polls", {"poll"}, true);
        for (const std::string& scanned : stateLines("scanned")) {
            if (stateLines("polls").size() >= 3) {
                *answer->out += qrField(scanned, ";S:") + "\t_adb-tls-pairing._tcp\t" +
                                pairing->substr(0, pairing->find('\t')) + '\n';
            }
        }
    } else {
        return std::nullopt;
    }
    return answer ? std::optional(play(*answer, pace)) : std::nullopt;
}

// How many times "devices" was asked in this run, this call included when it is one (a phone never leaves
// without the state folder).
long devicesCalls(bool thisIsOne) {
    if (thisIsOne) {
        writeState("devices.calls", {"."}, true);
    }
    return long(stateLines("devices.calls").size());
}

// A recorded "devices" answer without the lines of the phones that left.
std::string withoutGone(const std::string& text, const std::vector<Phone>& gone) {
    std::string kept;
    for (const std::string& line : linesOf(text)) {
        if (std::none_of(gone.begin(), gone.end(), [&line](const Phone& phone) {
                return line.rfind(phone.serial, 0) == 0 && line.find_first_of("\t ") == phone.serial.size();
            })) {
            kept += line + '\n';
        }
    }
    return kept;
}

void pauseIfAsked() {
    const char* env = std::getenv("TELVANE_SIM_DELAY_MS");
    if (!env) {
        return;
    }
    // Only for watching the busy cursor by hand, so a slip of the finger never stalls a test run for long.
    const long ms = std::clamp(std::atol(env), 0L, 10000L);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // adb writes its bytes as the phone sent them, with no LF turned into CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    if (const char* log = std::getenv("TELVANE_SIM_LOG"); log && *log) {
        std::string line;
        for (const std::string& arg : args) {
            line += (line.empty() ? "" : " ") + arg;
        }
        append(log, line + '\n');
    }
    // Each argument on a line of its own, as the command line reached us: for checking how lines are quoted.
    if (const char* file = std::getenv("TELVANE_SIM_ARGS"); file && *file) {
        std::string lines;
        for (const std::string& arg : args) {
            lines += arg + '\n';
        }
        append(file, lines);
    }
    pauseIfAsked();

    std::vector<fs::path> chain = profileChain(chosenProfile(argv[0]));
    // "-s SERIAL" or "-t TRANSPORT_ID" (here the phone's place in the list, from 1) picks one of the attached
    // phones, as adb does.
    std::optional<std::string> serial;
    const bool byTransport = !args.empty() && args[0] == "-t";
    if (args.size() >= 2 && (args[0] == "-s" || byTransport)) {
        serial = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        std::cerr << "adb: no command given\n";
        return 1;
    }
    const bool hostCommand = args[0] == "devices" || args[0] == "start-server" || args[0] == "kill-server" ||
                             args[0] == "version" || args[0] == "connect" || args[0] == "disconnect" ||
                             args[0] == "pair" || args[0] == "mdns";
    const long asked = devicesCalls(args == std::vector<std::string>{"devices"});
    std::vector<Phone> phones;
    std::vector<Phone> gone;
    for (Phone& phone : attachedPhones(chain)) {
        (phone.goneAfter > 0 && asked > phone.goneAfter ? gone : phones).push_back(std::move(phone));
    }
    if (serial && !hostCommand) {
        const auto phone = std::find_if(phones.begin(), phones.end(), [&](const Phone& p) {
            return (byTransport ? std::to_string(&p - phones.data() + 1) : p.serial) == *serial;
        });
        if (phone == phones.end()) {
            std::cerr << (byTransport ? "adb: no device with transport id '" : "adb: device '") << *serial
                      << (byTransport ? "'\n" : "' not found\n");
            return 1;
        }
        if (!phone->profile.empty()) {
            chain = profileChain(profileFolder(phone->profile, chain.front()));
        }
    } else if (!serial && !hostCommand && phones.size() > 1) {
        std::cerr << "adb: more than one device/emulator\n";
        return 1;
    }
    std::string key;
    for (const std::string& arg : args) {
        key += (key.empty() ? "" : " ") + arg;
    }
    const Pace pace = paceOf(chain, slugOf(key), !hostCommand);
    if (const auto code = wirelessAnswer(chain, args, slugOf(key), pace)) {
        return *code;
    }
    if (auto answer = answerIn(chain, slugOf(key))) {
        if (args[0] == "devices" && answer->out) {
            answer->out = withoutGone(*answer->out, gone);
            // adb ends its list with a blank line; the phones connected over Wi-Fi come before it.
            std::string listed;
            for (const Phone& phone : phones) {
                if (!phone.details.empty()) {
                    listed += phone.serial + (args.size() == 1 ? "\tdevice\n" : "  device " + phone.details + '\n');
                }
            }
            answer->out->insert(answer->out->size() - answer->out->ends_with("\n\n"), listed);
        }
        return play(*answer, pace);
    }
    // The host server needs no phone, so a profile's catch-all must not answer for it.
    if (args[0] == "start-server" || args[0] == "kill-server") {
        return 0;
    }
    if (auto answer = answerIn(chain, "_default")) {
        return play(*answer, pace);
    }
    if (args[0] == "shell" && args.size() > 1) {
        std::cerr << "/system/bin/sh: " << args[1].substr(0, args[1].find(' ')) << ": inaccessible or not found\n";
        return 127;
    }
    std::cerr << "adb: unknown command " << args[0] << '\n';
    return 1;
}
