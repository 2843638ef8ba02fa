// Soak of the resident monitor: the shipped mfpsm.exe runs as installed while
// this test plays the driver side at full speed (thousands of statuses, some
// 10 ms apart, closes, "ShowSM" toggles, job commands on queued and missing
// jobs) and the user pressing Delete and Continue.
//
// The monitor ticks every 250 ms, so a status posted shortly before the next
// may or may not be taken, and one tick reads "LastMsg", "Status", "JobID"
// and (after its spooler calls) "ShowSM" one after the other, so each of
// these reads may come before or after any write of the test. The test
// therefore keeps every state the monitor may be in, a tick under way
// included, and, at quiet points, keeps only the states that match what it
// observes: the dialog and its texts, the spooler stand-in's status word,
// queue and job commands, and "Message". No state left means the monitor did
// something no order of ticks and reads explains.
//
// MFPSM_SOAK_MINUTES sets the length (fractional minutes; default 0.75).
#include <gtest/gtest.h>

#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "common/globals.h"
#include "display/message_text.h"
#include "testkit/spool.h"
#include "testkit/wine_test.h"

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr DWORD kSyncMs = 10000;       // bound of every wait for the monitor's answer
constexpr DWORD kQuietMs = 800;        // no write for this long: at least one tick saw the file
constexpr DWORD kSureTickMs = 1500;    // a state of the file that lasted this long was seen
constexpr const wchar_t* kPrinter = L"Office MFP";
constexpr const wchar_t* kTitle = L"MFP Status Monitor";
constexpr int kDelete = 1117, kContinue = 1119;
constexpr int kSlotFirst = 1001, kSlotLast = 1012;
constexpr int kClose = 1026, kTake = 1027;
constexpr DWORD kMissingJob = 900000;  // a job id that is never queued
constexpr WPARAM kTimerId = 1;         // the monitor's polling timer

// Codes the soak posts: texts on both columns, both Continue codes, the
// dropped busy code and the two job commands.
constexpr int kCodes[] = {33, 5, 7, 32, 35, 126, 256, 277, 112, 117, 118};
constexpr const wchar_t* kStoreNames[] = {L"Weekly", L"Q3 Report", L"Invoices"};

// What the test has written to the status exchange file (the monitor's own
// writes of "Message" are kept per state below).
struct FileState {
    std::vector<int> codes;      // the list as written, 112 included
    std::wstring storeName;      // "" when the list carries none
    int lastMsg = 0;
    int showSM = 1;
    DWORD jobId = 0;
};

// How far a tick under way has read the file. A tick reads "Message" and
// "LastMsg", then "Status", then "JobID", runs the job commands and sets the
// spooler status, and then reads "ShowSM" before it shows the dialog.
enum Stage { kIdle, kToReadStatus, kToReadJob, kToReadShowSM };

// What the monitor may be in, and what it may have left behind.
struct State {
    int taken = 0;                    // last "LastMsg" taken
    std::vector<int> shown;           // list last shown, empty after a reset
    DWORD shownJob = 0;               // the job read with it: Delete acts on it
    int stage = kIdle;                // the tick under way
    std::vector<int> pendingList;     // the list it read
    DWORD pendingJob = 0;             // the job it read
    std::wstring store;               // store name last parsed
    bool dialog = false;
    std::vector<std::wstring> texts;  // sorted non-empty slot texts of the dialog
    bool continueShown = false;
    DWORD word = 0;                   // the stand-in's status word
    long long lastSet = -1;           // status word the monitor believes set (-1: none)
    int message = 0;                  // "Message" in the file
    std::set<DWORD> jobs;             // queued job ids
    std::vector<std::pair<DWORD, DWORD>> commands;  // SetJob (job, command) since the last check
    std::vector<DWORD> words;         // SetPrinter status words since the last check

    auto Key() const
    {
        return std::tie(taken, shown, shownJob, stage, pendingList, pendingJob, store, dialog, texts, continueShown,
                        word, lastSet, message, jobs, commands, words);
    }
    bool operator<(const State& other) const { return Key() < other.Key(); }
};

// What the test sees of the monitor and the stand-in at a quiet point.
struct Seen {
    bool dialog = false;
    std::vector<std::wstring> texts;
    bool continueShown = false;
    DWORD word = 0;
    int message = 0;
    std::set<DWORD> jobs;
    std::vector<std::pair<DWORD, DWORD>> commands;
    std::vector<DWORD> words;
};

bool Matches(const State& s, const Seen& seen)
{
    return s.dialog == seen.dialog && s.texts == seen.texts && s.continueShown == seen.continueShown &&
           s.word == seen.word && s.message == seen.message && s.jobs == seen.jobs && s.commands == seen.commands &&
           s.words == seen.words;
}

// Status words of the codes the soak posts (the spooler's PRINTER_STATUS_*).
bool WordOfCode(int code, DWORD* word)
{
    switch (code) {
    case 33: *word = 0x8; return true;        // paper jam
    case 5: *word = 0x400000; return true;    // door open
    case 7: *word = 0x40000; return true;     // no toner
    case 32: *word = 0x10; return true;       // paper out
    case 35: *word = 0x40; return true;       // paper problem
    case 126: *word = 0x80; return true;      // offline
    case 256: case 277: *word = 0x2; return true;  // error
    default: return false;
    }
}

// The text of a code as the dialog shows it; each text is looked up once,
// since the lookup reads the UI text file.
std::wstring TextOf(int code, const std::wstring& store)
{
    static std::map<std::pair<int, std::wstring>, std::wstring> known;
    auto key = std::make_pair(code, store);
    auto found = known.find(key);
    if (found != known.end())
        return found->second;
    wcsncpy(g_szStoreName, store.c_str(), kTextUnits - 1);
    WCHAR text[kTextUnits] = L"";
    SM_GetErrorText(code, text, kTextUnits);
    return known[key] = text;
}

std::vector<std::wstring> TextsOf(const std::vector<int>& list, const std::wstring& store)
{
    std::set<int> distinct(list.begin(), list.end());
    std::vector<std::wstring> texts;
    for (int code : distinct) {
        std::wstring text = TextOf(code, store);
        if (!text.empty())
            texts.push_back(text);
    }
    std::sort(texts.begin(), texts.end());
    return texts;
}

void SetSpooler(State& s, DWORD word)
{
    if (static_cast<long long>(word) == s.lastSet)
        return;
    s.word = word;
    s.lastSet = word;
    s.words.push_back(word);
}

void ClearSpooler(State& s)
{
    SetSpooler(s, 0);
    s.lastSet = -1;
}

// Delete (NT family) or restart of a job; true when done.
bool JobCommand(State& s, DWORD job, bool cancel)
{
    if (cancel)
        ClearSpooler(s);
    if (!s.jobs.count(job))
        return false;
    s.commands.push_back({job, cancel ? 5u : 4u});
    if (cancel)
        s.jobs.erase(job);
    return true;
}

void CloseDialog(State& s, bool reset)
{
    s.dialog = false;
    s.texts.clear();
    s.continueShown = false;
    if (!reset)
        return;
    s.message = 0;
    ClearSpooler(s);
    s.shown.clear();
    s.shownJob = 0;
    s.store.clear();
}

State BeginTick(State s, const FileState& f)
{
    if (s.message == kClose) {
        CloseDialog(s, true);
        return s;
    }
    if (s.message != kTake || f.lastMsg == 0 || f.lastMsg == s.taken)
        return s;
    s.taken = f.lastMsg;
    s.stage = kToReadStatus;
    return s;
}

State ReadStatus(State s, const FileState& f)
{
    if (!f.storeName.empty())
        s.store = f.storeName;
    for (int code : f.codes) {
        if (code != 112)
            s.pendingList.push_back(code);
    }
    s.stage = kToReadJob;
    return s;
}

State ReadJob(State s, const FileState& f)
{
    s.stage = kIdle;
    const std::vector<int> list = std::move(s.pendingList);
    s.pendingList.clear();
    if (list.empty())
        return s;
    if (list == s.shown) {
        s.shownJob = f.jobId;
        return s;
    }
    bool done = false;
    for (int code : list) {
        if ((code == 117 && JobCommand(s, f.jobId, true)) || (code == 118 && JobCommand(s, f.jobId, false)))
            done = true;
    }
    if (done)
        return s;
    DWORD word = 0;
    if (WordOfCode(list[0], &word))
        SetSpooler(s, word);
    s.pendingList = list;
    s.pendingJob = f.jobId;
    s.stage = kToReadShowSM;
    return s;
}

State ReadShowSM(State s, const FileState& f)
{
    s.stage = kIdle;
    if (f.showSM != 0) {
        s.dialog = true;
        s.texts = TextsOf(s.pendingList, s.store);
        s.continueShown = s.pendingList[0] == 35 || s.pendingList[0] == 277;
        s.shown = s.pendingList;
        s.shownJob = s.pendingJob;
    }
    s.pendingList.clear();
    s.pendingJob = 0;
    return s;
}

// The next read of the monitor, on the file as it is now.
State Step(const State& s, const FileState& f)
{
    switch (s.stage) {
    case kToReadStatus: return ReadStatus(s, f);
    case kToReadJob: return ReadJob(s, f);
    case kToReadShowSM: return ReadShowSM(s, f);
    default: return BeginTick(s, f);
    }
}

// The tick under way, if any, ends on the file as it is now.
State Finish(State s, const FileState& f)
{
    while (s.stage != kIdle)
        s = Step(s, f);
    return s;
}

// One whole tick on the file as it is now, after the one under way.
State Tick(const State& s, const FileState& f)
{
    return Finish(Step(Finish(s, f), f), f);
}

// Every way the monitor may go on before the test writes a key that the
// reads of stage `reader` see. Only the value that a read finds matters, and
// every other key reads the same before and after the write, so a read is
// put off as long as it may be: the ways are to read nothing now, or to read
// on (the tick under way, then the next) up to a read of that key, whose
// value only now is the one before the write.
std::vector<State> Continuations(const State& s, const FileState& f, int reader)
{
    constexpr int kReadsOfTwoTicks = 8;
    std::vector<State> ways = {s};
    State next = s;
    for (int i = 0; i < kReadsOfTwoTicks; ++i) {
        int stage = next.stage;
        State after = Step(next, f);
        if (stage == kIdle && after.stage == kIdle && !(next < after) && !(after < next))
            break;  // no tick has anything to read
        next = after;
        if (stage == reader)
            ways.push_back(next);
    }
    return ways;
}

std::wstring StatusText(const FileState& f)
{
    std::wstring text;
    for (size_t i = 0; i < f.codes.size(); ++i) {
        if (!f.storeName.empty() && i == f.codes.size() / 2)
            text += L"StoreName|" + f.storeName + L"|";
        text += std::to_wstring(f.codes[i]) + L"|";
    }
    if (!f.storeName.empty() && f.codes.empty())
        text += L"StoreName|" + f.storeName + L"|";
    return text;
}

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

std::string Describe(const std::vector<int>& codes)
{
    std::string text = "[";
    for (size_t i = 0; i < codes.size(); ++i)
        text += (i ? " " : "") + std::to_string(codes[i]);
    return text + "]";
}

std::string Describe(const std::vector<std::pair<DWORD, DWORD>>& commands)
{
    std::string text;
    for (const auto& c : commands)
        text += " " + std::to_string(c.first) + "/" + std::to_string(c.second);
    return text.empty() ? " none" : text;
}

std::string Describe(const std::vector<std::wstring>& texts)
{
    std::string text;
    for (const std::wstring& t : texts)
        text += " [" + Narrow(t) + "]";
    return text;
}

std::string Describe(const std::set<DWORD>& jobs)
{
    std::string text;
    for (DWORD job : jobs)
        text += " " + std::to_string(job);
    return text;
}

std::string Hex(DWORD word)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%lx", static_cast<unsigned long>(word));
    return text;
}

std::string Describe(const std::vector<DWORD>& words)
{
    std::string text;
    for (DWORD word : words)
        text += " " + Hex(word);
    return text.empty() ? " none" : text;
}

// What is seen, field by field; a state lists the fields it differs in.
std::string Describe(const Seen& seen)
{
    return "dialog " + std::to_string(seen.dialog) + Describe(seen.texts) + " continue " +
           std::to_string(seen.continueShown) + " word " + Hex(seen.word) + " Message " +
           std::to_string(seen.message) + " jobs" + Describe(seen.jobs) + " commands" + Describe(seen.commands) +
           " words" + Describe(seen.words);
}

std::vector<std::string> Differences(const State& s, const Seen& seen)
{
    std::vector<std::string> fields;
    if (s.dialog != seen.dialog || s.texts != seen.texts)
        fields.push_back("dialog " + std::to_string(s.dialog) + Describe(s.texts));
    if (s.continueShown != seen.continueShown)
        fields.push_back("continue " + std::to_string(s.continueShown));
    if (s.word != seen.word)
        fields.push_back("word " + Hex(s.word));
    if (s.message != seen.message)
        fields.push_back("Message " + std::to_string(s.message));
    if (s.jobs != seen.jobs)
        fields.push_back("jobs" + Describe(s.jobs));
    if (s.commands != seen.commands)
        fields.push_back("commands" + Describe(s.commands));
    if (s.words != seen.words)
        fields.push_back("words" + Describe(s.words));
    return fields;
}

std::string DescribeInside(const State& s)
{
    return "taken " + std::to_string(s.taken) + ", shown " + Describe(s.shown) + " of job " +
           std::to_string(s.shownJob) + ", store \"" + Narrow(s.store) + "\", believed set " + std::to_string(s.lastSet);
}

// The expected states that differ from what is seen in the fewest fields.
std::string Closest(const std::set<State>& states, const Seen& seen, size_t shown)
{
    std::vector<std::pair<size_t, const State*>> ranked;
    for (const State& s : states)
        ranked.push_back({Differences(s, seen).size(), &s});
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string text;
    for (size_t i = 0; i < ranked.size() && i < shown; ++i) {
        text += "\n  differs in";
        for (const std::string& field : Differences(*ranked[i].second, seen))
            text += " {" + field + "}";
        text += "; " + DescribeInside(*ranked[i].second);
    }
    return text;
}

// The latest actions of the test, with the milliseconds since the start and
// since the action before, for the report of a failure.
class History {
public:
    void Add(const std::string& line)
    {
        DWORD now = GetTickCount();
        char stamp[40];
        std::snprintf(stamp, sizeof(stamp), "%8lu ms (+%4lu) ", static_cast<unsigned long>(now - start_),
                      static_cast<unsigned long>(now - last_));
        last_ = now;
        lines_.push_back(stamp + line);
        if (lines_.size() > kLines)
            lines_.pop_front();
    }
    std::string Text() const
    {
        std::string text;
        for (const std::string& line : lines_)
            text += "\n  " + line;
        return text;
    }

private:
    static constexpr size_t kLines = 60;
    DWORD start_ = GetTickCount();
    DWORD last_ = start_;
    std::deque<std::string> lines_;
};

using Commands = std::vector<std::pair<DWORD, DWORD>>;

// Job commands and status words the stand-in recorded since the last check.
struct Recorded {
    Commands commands;
    std::vector<DWORD> words;
    unsigned refused = 0;  // job commands the stand-in refused
    size_t calls = 0;      // calls in the record up to here
};

// True when one sequence begins with the other.
template <class T>
bool OnTheWayTo(const std::vector<T>& a, const std::vector<T>& b)
{
    size_t n = std::min(a.size(), b.size());
    return std::equal(a.begin(), a.begin() + n, b.begin());
}

// A write of the test, as the model takes it in.
struct Written {
    FileState before;  // the file as a read before the write finds it
    int reader;        // the stage of a tick whose read sees the key written
    bool sure;         // the file had stood long enough for a whole tick
    int message;       // "Message" written, or -1
};

// Every "LastMsg" the test writes is new, so a state that took any but the
// one in the file now behaves as any other such state.
State Canonical(State s, const FileState& f)
{
    if (s.taken != f.lastMsg)
        s.taken = -1;
    return s;
}

struct Figures {
    unsigned posted = 0, emptyLists = 0, closes = 0, toggles = 0, deletes = 0, continues = 0;
    unsigned quietChecks = 0, dialogs = 0, jobCommands = 0, maxStates = 0;
    DWORD longestCatchUpMs = 0;
};

struct ProcessSample {
    SIZE_T workingSet = 0, privateBytes = 0, pagefile = 0;
    DWORD handles = 0;
};

double SoakMinutes()
{
    const char* text = std::getenv("MFPSM_SOAK_MINUTES");
    double minutes = text ? std::atof(text) : 0.0;
    return minutes > 0 ? minutes : 0.75;
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitProcessValues();
        ASSERT_TRUE(WaitForNoWindow(L"mfpsm", kTimeoutMs)) << "a monitor was left running";
        statusFile_ = CommonDocumentsDir() + L"StatusMonitorV3.ini";
        WritePrivateProfileStringW(L"Printer Information", nullptr, nullptr, statusFile_.c_str());
        WritePrivateProfileStringW(L"Job Information", nullptr, nullptr, statusFile_.c_str());
        SpoolPrinterSeed printer;
        printer.name = kPrinter;
        for (nextJob_ = 1; nextJob_ <= 3; ++nextJob_)
            printer.jobs.push_back({nextJob_, L"Report " + std::to_wstring(nextJob_) + L".pdf"});
        spool_.AddPrinter(printer);
        monitor_.reset(new ChildProcess(L"\"" + BesideTest(L"mfpsm.exe") + L"\" install"));
        window_ = WaitForWindow(L"mfpsm", nullptr, kTimeoutMs);
        ASSERT_NE(window_, nullptr);
        // Start-up may have made the file afresh, so the printer is named now.
        ASSERT_TRUE(WritePrivateProfileStringW(L"Printer Information", L"PrinterName", kPrinter, statusFile_.c_str()));
        process_ = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, monitor_->Id());
        ASSERT_NE(process_, nullptr);
        State start;
        start.jobs = {1, 2, 3};
        states_ = {start};
    }
    void TearDown() override
    {
        if (HWND window = FindWindowW(L"mfpsm", nullptr))
            PostMessageW(window, 1026, 0, 0);  // WM_SM_EXIT
        WaitForNoWindow(L"mfpsm", kTimeoutMs);
        if (process_)
            CloseHandle(process_);
        monitor_.reset();
    }

    // reader: the stage of a tick whose read sees this key; message: the
    // "Message" written, or -1.
    void Write(const wchar_t* section, const wchar_t* key, const std::wstring& value, int reader, int message = -1)
    {
        // The monitor may have read the file as it was before this write.
        journal_.push_back({file_, reader, GetTickCount() - lastWrite_ >= kSureTickMs, message});
        ASSERT_TRUE(WritePrivateProfileStringW(section, key, value.c_str(), statusFile_.c_str()));
        lastWrite_ = GetTickCount();
    }
    void WriteMessage(int message)
    {
        Write(L"Printer Information", L"Message", std::to_wstring(message), kIdle, message);
    }

    // The model follows the writes only where the test waits for the monitor
    // anyway, so that working it out never slows the writes down. Job
    // commands and status words are only ever added to the stand-in's
    // record, so a state whose own part from those recorded by now is
    // dropped on the way.
    void CatchUp(const Recorded& recorded)
    {
        DWORD start = GetTickCount();
        for (const Written& w : journal_) {
            if (w.sure)
                SurelyTicked(w.before);
            else
                MaybeTicked(w.before, w.reader);
            if (w.message >= 0)
                Update([&w](State& s) { s.message = w.message; });
            for (auto s = states_.begin(); s != states_.end();) {
                bool onTheWay = OnTheWayTo(s->commands, recorded.commands) && OnTheWayTo(s->words, recorded.words);
                s = onTheWay ? std::next(s) : states_.erase(s);
            }
        }
        journal_.clear();
        figures_.longestCatchUpMs = std::max(figures_.longestCatchUpMs, GetTickCount() - start);
    }

    // The monitor may have read the file f, before a write that reads of
    // stage reader see: every continuation of every state stays possible.
    void MaybeTicked(const FileState& f, int reader)
    {
        std::set<State> next;
        for (const State& s : states_) {
            for (State& way : Continuations(s, f, reader))
                next.insert(Canonical(std::move(way), f));
        }
        states_.swap(next);
        figures_.maxStates = std::max<unsigned>(figures_.maxStates, static_cast<unsigned>(states_.size()));
    }
    // A whole tick surely read the file f.
    void SurelyTicked(const FileState& f)
    {
        std::set<State> next;
        for (const State& s : states_)
            next.insert(Canonical(Tick(s, f), f));
        states_.swap(next);
    }
    // Changes every state alike (a set's elements cannot change in place).
    template <class Change>
    void Update(Change change)
    {
        std::set<State> next;
        for (State s : states_) {
            change(s);
            next.insert(s);
        }
        states_.swap(next);
    }

    void Post(FileState f)
    {
        f.lastMsg = file_.lastMsg + 1;
        f.showSM = file_.showSM;
        Write(L"Job Information", L"JobID", std::to_wstring(f.jobId), kToReadJob);
        file_.jobId = f.jobId;
        Write(L"Printer Information", L"Status", StatusText(f), kToReadStatus);
        file_.codes = f.codes;
        file_.storeName = f.storeName;
        Write(L"Printer Information", L"LastMsg", std::to_wstring(f.lastMsg), kIdle);
        file_.lastMsg = f.lastMsg;
        WriteMessage(kTake);
        ++figures_.posted;
        history_.Add("post " + std::to_string(figures_.posted) + ": JobID " + std::to_string(f.jobId) + ", Status \"" +
                     Narrow(StatusText(f)) + "\", LastMsg " + std::to_string(f.lastMsg) + ", 1027");
        if (f.codes.empty())
            ++figures_.emptyLists;
    }
    void ToggleShow()
    {
        int show = file_.showSM ? 0 : 1;
        Write(L"Printer Information", L"ShowSM", std::to_wstring(show), kToReadShowSM);
        file_.showSM = show;
        ++figures_.toggles;
        history_.Add("ShowSM " + std::to_string(show));
    }
    // Closes and waits until the monitor has acted on it, so that its write
    // of "Message" never meets a write of this test.
    void Close()
    {
        WriteMessage(kClose);
        ++figures_.closes;
        DWORD start = GetTickCount();
        // A read while the monitor rewrites the file finds no "Message": -1.
        while (static_cast<int>(GetPrivateProfileIntW(L"Printer Information", L"Message", -1, statusFile_.c_str())) != 0) {
            ASSERT_LT(GetTickCount() - start, kSyncMs) << "the close was not acted on";
            Sleep(10);
        }
        ASSERT_TRUE(Responsive());
        CatchUp(RecordSinceCheck());
        SurelyTicked(file_);
        lastWrite_ = GetTickCount();
        history_.Add("1026, acted on after " + std::to_string(lastWrite_ - start) + " ms; " +
                     std::to_string(states_.size()) + " states");
    }

    // Presses a button of the visible dialog; the call returns when the
    // monitor has handled it, so nothing of the test overlaps its writes.
    void Press(int id)
    {
        // A tick still running would change what is seen below.
        ASSERT_TRUE(Responsive()) << "the monitor stopped answering";
        HWND dialog = FindWindowW(L"#32770", kTitle);
        if (!dialog || !IsWindowVisible(dialog))
            return;
        bool continueShown = IsWindowVisible(GetDlgItem(dialog, kContinue));
        if (id == kContinue && !continueShown)
            return;
        CatchUp(RecordSinceCheck());
        std::set<State> pressed;
        for (const State& s : states_) {
            // The monitor answered, so no tick was under way. What was seen:
            // the state before or after a tick on this file; what is pressed:
            // that, or it after one more tick; and a tick may follow the press.
            for (const State& seen : {Finish(s, file_), Tick(s, file_)}) {
                if (!seen.dialog || seen.continueShown != continueShown)
                    continue;
                for (State after : {seen, Tick(seen, file_)}) {
                    if (id == kDelete) {
                        JobCommand(after, after.shownJob, true);
                        CloseDialog(after, true);
                    } else {
                        CloseDialog(after, false);
                    }
                    pressed.insert(after);
                    pressed.insert(Tick(after, file_));
                }
            }
        }
        ASSERT_FALSE(pressed.empty()) << "a dialog shows that no order of ticks explains";
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                        reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)), SMTO_ABORTIFHUNG, kSyncMs, &result))
            << "the dialog did not answer a button";
        states_.swap(pressed);
        lastWrite_ = GetTickCount();
        history_.Add(std::string(id == kDelete ? "Delete" : "Continue") + " pressed; " +
                     std::to_string(states_.size()) + " states");
        if (id == kDelete) {
            ++figures_.deletes;
        } else {
            ++figures_.continues;
            continuePressed_ = true;
        }
    }

    bool Responsive()
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kSyncMs, &result) != 0;
    }

    Recorded RecordSinceCheck() const
    {
        Recorded recorded;
        std::vector<SpoolCall> calls = spool_.Calls();
        for (size_t i = callsSeen_; i < calls.size(); ++i) {
            if (calls[i].function == L"SetPrinter") {
                recorded.words.push_back(calls[i].status);
            } else if (calls[i].function == L"SetJob") {
                recorded.commands.push_back({calls[i].job, calls[i].command});
                recorded.refused += calls[i].ok ? 0 : 1;
            }
        }
        recorded.calls = calls.size();
        return recorded;
    }

    Seen Observe()
    {
        Seen seen;
        HWND dialog = FindWindowW(L"#32770", kTitle);
        seen.dialog = dialog && IsWindowVisible(dialog);
        if (seen.dialog) {
            for (int id = kSlotFirst; id <= kSlotLast; ++id) {
                WCHAR text[kTextUnits] = L"";
                GetDlgItemTextW(dialog, id, text, kTextUnits);
                if (text[0])
                    seen.texts.push_back(text);
            }
            std::sort(seen.texts.begin(), seen.texts.end());
            seen.continueShown = IsWindowVisible(GetDlgItem(dialog, kContinue));
            if (dialog != lastDialog_ || seen.texts != lastTexts_)
                ++figures_.dialogs;
            lastDialog_ = dialog;
            lastTexts_ = seen.texts;
        } else {
            lastDialog_ = nullptr;
        }
        seen.word = spool_.Status(kPrinter);
        seen.message = static_cast<int>(GetPrivateProfileIntW(L"Printer Information", L"Message", 0, statusFile_.c_str()));
        for (const SpoolJobSeed& job : spool_.Jobs(kPrinter))
            seen.jobs.insert(job.id);
        Recorded recorded = RecordSinceCheck();
        EXPECT_EQ(recorded.refused, 0u) << "job commands refused";
        seen.commands = recorded.commands;
        seen.words = recorded.words;
        callsSeen_ = recorded.calls;
        figures_.jobCommands += static_cast<unsigned>(seen.commands.size());
        return seen;
    }

    // Waits until every write has surely been seen, then compares.
    void QuietCheck()
    {
        Sleep(kQuietMs / 2);
        ASSERT_TRUE(Responsive()) << "the monitor stopped answering";
        Sleep(kQuietMs / 2);
        // The timer has surely ticked by now, unless the monitor got no CPU:
        // one tick is made sure of by hand (messages sent to a window come
        // before its timer).
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutW(window_, WM_TIMER, kTimerId, 0, SMTO_ABORTIFHUNG, kSyncMs, &result))
            << "the monitor stopped answering";
        Seen seen = Observe();
        CatchUp({seen.commands, seen.words});
        SurelyTicked(file_);
        ++figures_.quietChecks;
        std::set<State> kept;
        for (State s : states_) {
            if (!Matches(s, seen))
                continue;
            s.commands.clear();
            s.words.clear();
            kept.insert(s);
        }
        if (kept.empty()) {
            FAIL() << "after status " << figures_.posted << " (LastMsg " << file_.lastMsg << ", ShowSM " << file_.showSM
                   << ", JobID " << file_.jobId << ") no possible state matches what shows:"
                   << "\n seen: " << Describe(seen)
                   << "\n the closest of " << states_.size() << " expected states:" << Closest(states_, seen, 4)
                   << "\n the latest actions:" << history_.Text();
        }
        history_.Add("quiet check: " + Describe(seen) + ", " + std::to_string(kept.size()) + " states kept");
        states_.swap(kept);
        std::wstring continuePrint(8, L'\0');
        continuePrint.resize(GetPrivateProfileStringW(L"Printer Information", L"ContinuePrint", L"", &continuePrint[0], 8,
                                                      statusFile_.c_str()));
        EXPECT_EQ(continuePrint, continuePressed_ ? L"1" : L"") << "ContinuePrint";
        RefillQueue(seen.jobs.size());
    }

    // Keeps three jobs queued, so that job commands keep finding work.
    void RefillQueue(size_t queued)
    {
        for (; queued < 3; ++queued, ++nextJob_) {
            ASSERT_TRUE(spool_.AddJob(kPrinter, {nextJob_, L"Report " + std::to_wstring(nextJob_) + L".pdf"}));
            DWORD job = nextJob_;
            Update([job](State& s) { s.jobs.insert(job); });
            history_.Add("job " + std::to_string(job) + " queued");
        }
    }

    FileState RandomStatus(std::mt19937& rng)
    {
        std::uniform_int_distribution<int> percent(0, 99);
        FileState f;
        int roll = percent(rng);
        if (roll < 15 && !lastPosted_.empty()) {
            f.codes = lastPosted_;  // the same list again
        } else if (roll >= 25) {
            int count = std::uniform_int_distribution<int>(1, 4)(rng);
            for (int i = 0; i < count; ++i)
                f.codes.push_back(kCodes[std::uniform_int_distribution<size_t>(0, std::size(kCodes) - 1)(rng)]);
        }  // else an empty list
        if (percent(rng) < 20)
            f.storeName = kStoreNames[std::uniform_int_distribution<size_t>(0, std::size(kStoreNames) - 1)(rng)];
        const std::set<DWORD>& jobs = states_.begin()->jobs;
        if (percent(rng) < 60 && !jobs.empty())
            f.jobId = *std::next(jobs.begin(), std::uniform_int_distribution<size_t>(0, jobs.size() - 1)(rng));
        else
            f.jobId = kMissingJob;
        lastPosted_ = f.codes;
        return f;
    }

    DWORD RandomGap(std::mt19937& rng)
    {
        int roll = std::uniform_int_distribution<int>(0, 99)(rng);
        if (roll < 65)
            return std::uniform_int_distribution<DWORD>(10, 60)(rng);
        if (roll < 96)
            return std::uniform_int_distribution<DWORD>(60, 400)(rng);
        return std::uniform_int_distribution<DWORD>(kSureTickMs, kSureTickMs + 300)(rng);
    }

    // One burst of driver and user actions, then a quiet check.
    void Round(std::mt19937& rng)
    {
        std::uniform_int_distribution<int> percent(0, 99);
        int actions = std::uniform_int_distribution<int>(1, 16)(rng);
        for (int i = 0; i < actions; ++i) {
            int roll = percent(rng);
            if (roll < 6) {
                ASSERT_NO_FATAL_FAILURE(Close());
            } else if (roll < 12) {
                ASSERT_NO_FATAL_FAILURE(ToggleShow());
            } else if (roll < 22) {
                ASSERT_NO_FATAL_FAILURE(Press(percent(rng) < 50 ? kDelete : kContinue));
            } else {
                ASSERT_NO_FATAL_FAILURE(Post(RandomStatus(rng)));
            }
            Sleep(RandomGap(rng));
        }
        ASSERT_NO_FATAL_FAILURE(QuietCheck());
        // A dialog that stands is pressed now and then, as a user would.
        if (percent(rng) < 40) {
            ASSERT_NO_FATAL_FAILURE(Press(percent(rng) < 50 ? kDelete : kContinue));
        }
    }

    ProcessSample Sample()
    {
        ProcessSample sample;
        PROCESS_MEMORY_COUNTERS_EX counters = {};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters))) {
            sample.workingSet = counters.WorkingSetSize;
            sample.privateBytes = counters.PrivateUsage;
            sample.pagefile = counters.PagefileUsage;
        }
        GetProcessHandleCount(process_, &sample.handles);
        return sample;
    }

    SpoolSandbox spool_;
    std::wstring statusFile_;
    std::unique_ptr<ChildProcess> monitor_;
    HWND window_ = nullptr;
    HANDLE process_ = nullptr;
    FileState file_;
    std::set<State> states_;
    DWORD lastWrite_ = 0;
    DWORD nextJob_ = 1;
    size_t callsSeen_ = 0;
    bool continuePressed_ = false;
    std::vector<int> lastPosted_;
    HWND lastDialog_ = nullptr;
    std::vector<std::wstring> lastTexts_;
    Figures figures_;
    History history_;
    std::vector<Written> journal_;
};

} // namespace

TEST_F(Soak, MonitorKeepsUpWithTheDriverAndTheUser)
{
    unsigned seed = std::random_device{}();
    if (const char* text = std::getenv("MFPSM_SOAK_SEED"))
        seed = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
    double minutes = SoakMinutes();
    std::printf("soak: seed %u (MFPSM_SOAK_SEED repeats it), %.2f minutes\n", seed, minutes);
    std::fflush(stdout);
    std::mt19937 rng(seed);

    ASSERT_NO_FATAL_FAILURE(QuietCheck());
    ProcessSample first = Sample();
    DWORD start = GetTickCount();
    DWORD length = static_cast<DWORD>(minutes * 60000);
    ProcessSample warm;  // once the dialog and its pictures have been loaded
    while (GetTickCount() - start < length) {
        ASSERT_NO_FATAL_FAILURE(Round(rng));
        if (!warm.workingSet && GetTickCount() - start >= length / 4)
            warm = Sample();
        ASSERT_TRUE(monitor_->Running()) << "the monitor ended";
    }
    // The last status is taken on its own, with time to spare.
    ASSERT_NO_FATAL_FAILURE(Post(RandomStatus(rng)));
    ASSERT_NO_FATAL_FAILURE(QuietCheck());
    ProcessSample last = Sample();
    EXPECT_TRUE(monitor_->Running());
    EXPECT_TRUE(Responsive());
    EXPECT_GT(first.workingSet, 0u) << "no memory figures from the monitor";

    std::printf("soak: %.1f s, %u statuses posted (%u empty lists), %u closes, %u ShowSM toggles, "
                "%u Delete and %u Continue pressed\n",
                (GetTickCount() - start) / 1000.0, figures_.posted, figures_.emptyLists, figures_.closes,
                figures_.toggles, figures_.deletes, figures_.continues);
    std::printf("soak: %u quiet checks, %u dialogs seen, %u job commands, at most %u possible states "
                "(worked out in %lu ms at most)\n",
                figures_.quietChecks, figures_.dialogs, figures_.jobCommands, figures_.maxStates,
                static_cast<unsigned long>(figures_.longestCatchUpMs));
    std::printf("soak: monitor at start / quarter / end: working set %zu / %zu / %zu KB, private bytes %zu / %zu / %zu KB, "
                "pagefile %zu / %zu / %zu KB, handles %lu / %lu / %lu\n",
                first.workingSet / 1024, warm.workingSet / 1024, last.workingSet / 1024, first.privateBytes / 1024,
                warm.privateBytes / 1024, last.privateBytes / 1024, first.pagefile / 1024, warm.pagefile / 1024,
                last.pagefile / 1024, first.handles, warm.handles, last.handles);
    std::fflush(stdout);
}
