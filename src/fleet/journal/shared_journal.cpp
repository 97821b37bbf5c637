#include "fleet/journal/shared_journal.h"

#include <algorithm>
#include <limits>

namespace vorlen::fleet {
namespace {

// How many outbox rows one pass of the sender reads.
constexpr int kBatch = 100;

// An outbox row's id, as Begin gives it back: below zero, so that Finish
// knows it from a server's id.
std::int64_t OutboxId(std::int64_t local) { return -local; }

}  // namespace

SharedJournal::SharedJournal(std::unique_ptr<PostgresJournal> server,
                             std::unique_ptr<SqliteJournal> outbox, Backoff backoff)
    : server_(std::move(server)), outbox_(std::move(outbox)), backoff_(backoff) {
    std::vector<JournalEntry> left;
    if (outbox_ && outbox_->Oldest(std::numeric_limits<int>::max(), left)) {
        waiting_ = static_cast<int>(left.size());  // a run before this one left them
        for (const JournalEntry& row : left) {
            left_.insert(row.id);
        }
        toSend_ = waiting_ > 0;
    }
    sender_ = std::jthread([this](std::stop_token stop) { Send(stop); });
}

SharedJournal::~SharedJournal() {
    sender_.request_stop();
    rowWaits_.notify_all();
}

// Rows still waiting get one more try, without the back-off's wait, while
// each pass sends some; those the server does not take stay in the outbox
// for the next run. The sender stops first: one row is never sent twice at
// once.
JournalHealth SharedJournal::Settle() {
    sender_.request_stop();
    rowWaits_.notify_all();
    if (sender_.joinable()) {
        sender_.join();
    }
    const auto waiting = [this] {
        std::lock_guard lock(mutex_);
        return waiting_;
    };
    for (int before = waiting(); before > 0;) {
        if (!(server_->Connected() || server_->Reconnect()) || !SendWaiting() ||
            waiting() >= before) {
            break;
        }
        before = waiting();
    }
    std::lock_guard lock(mutex_);
    fault_ = waiting_ == 0 ? "" : server_->LastError();
    return {taking_, waiting_, fault_};
}

// Straight to the server only while nothing waits, so rows keep their order.
bool SharedJournal::Direct() const { return waiting_ == 0 && server_->Connected(); }

std::int64_t SharedJournal::Begin(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    if (Direct()) {
        if (const std::int64_t id = server_->Begin(entry); id != 0) {
            return id;
        }
        if (server_->Connected()) {
            error_ = server_->LastError();  // the server refused the row itself
            return 0;
        }
        fault_ = server_->LastError();
    }
    return KeepBegun(entry);
}

// Numbers come from the server only: an outbox on one station cannot know
// what the others drew, so while the server is away no number is given.
bool SharedJournal::NumbersOf(const std::string& imei, const std::vector<std::string>& series,
                              std::vector<long long>& numbers) {
    std::lock_guard lock(mutex_);
    if (!Direct()) {
        numbers.assign(series.size(), 0);
        error_ = NoServerForNumbers();
        return false;
    }
    if (!server_->NumbersOf(imei, series, numbers)) {
        error_ = server_->LastError();
        return false;
    }
    return true;
}

std::int64_t SharedJournal::BeginNumbered(JournalEntry entry,
                                          const std::vector<std::string>& series,
                                          const NumberedValues& deviceValues,
                                          std::vector<long long>& numbers) {
    std::lock_guard lock(mutex_);
    if (!Direct()) {
        numbers.clear();
        error_ = NoServerForNumbers();
        return 0;
    }
    const std::int64_t id = server_->BeginNumbered(std::move(entry), series, deviceValues, numbers);
    if (id == 0) {
        error_ = server_->LastError();
    }
    return id;
}

std::string SharedJournal::NoServerForNumbers() const {
    const std::string why = fault_.empty() ? server_->LastError() : fault_;
    return "numbers are drawn only while the server answers and no row waits for it" +
           (why.empty() ? std::string() : " (" + why + ")");
}

bool SharedJournal::Finish(const JournalEntry& entry) {
    std::lock_guard lock(mutex_);
    if (entry.id > 0 && Direct()) {
        if (server_->Finish(entry)) {
            return true;
        }
        if (server_->Connected()) {
            error_ = server_->LastError();
            return false;
        }
        fault_ = server_->LastError();
    }
    return KeepFinished(entry);
}

std::int64_t SharedJournal::KeepBegun(const JournalEntry& entry) {
    if (fault_.empty()) {
        fault_ = server_->LastError();
    }
    const std::int64_t local = outbox_ ? outbox_->Begin(entry) : 0;
    if (local == 0) {
        OutboxFailed(outbox_ ? outbox_->LastError() : "");
        return 0;
    }
    ++waiting_;
    toSend_ = true;
    rowWaits_.notify_all();
    return OutboxId(local);
}

// A row begun in the outbox is completed there; one begun on the server is
// kept whole, to be found there by its start and completed.
bool SharedJournal::KeepFinished(JournalEntry entry) {
    if (fault_.empty()) {
        fault_ = server_->LastError();
    }
    if (!outbox_) {
        return OutboxFailed("");
    }
    JournalEntry local = entry;
    local.id = -entry.id;
    const bool completed = entry.id < 0 && outbox_->Finish(local);
    // A row begun on the server, or one a station sharing the outbox has
    // already sent, is kept whole: the sender finds its start on the server.
    if (!completed) {
        local.id = outbox_->Begin(entry);
        if (local.id == 0 || !outbox_->Finish(local)) {
            return OutboxFailed(outbox_->LastError());
        }
        ++waiting_;
    }
    toSend_ = true;
    rowWaits_.notify_all();
    return true;
}

bool SharedJournal::OutboxFailed(const std::string& why) {
    error_ = fault_.empty() ? "the server does not answer" : fault_;
    error_ += why.empty() ? ", and no outbox keeps the row" : ", and the outbox: " + why;
    taking_ = false;
    return false;
}

// The sender: waits for rows to send, reaches the server again when it is
// gone (each failure doubling the wait, up to the last), and sends.
void SharedJournal::Send(std::stop_token stop) {
    std::chrono::milliseconds pause = backoff_.first;
    std::unique_lock lock(mutex_);
    while (!stop.stop_requested()) {
        if (!rowWaits_.wait(lock, stop, [this] { return toSend_; })) {
            return;
        }
        toSend_ = false;
        lock.unlock();
        const bool sent = (server_->Connected() || server_->Reconnect()) && SendWaiting();
        lock.lock();
        if (sent) {
            pause = backoff_.first;
            fault_ = waiting_ == 0 ? "" : fault_;
            continue;
        }
        toSend_ = true;
        fault_ = server_->LastError();
        rowWaits_.wait_for(lock, stop, pause, [] { return false; });
        pause = std::min(pause * 2, backoff_.last);
    }
}

// One batch of the outbox's rows in their order; false at the first that
// cannot be sent.
bool SharedJournal::SendWaiting() {
    std::vector<JournalEntry> rows;
    if (!outbox_->Oldest(kBatch, rows)) {
        return false;
    }
    for (const JournalEntry& row : rows) {
        if (!SendRow(row)) {
            return false;
        }
    }
    std::lock_guard lock(mutex_);
    toSend_ = toSend_ || rows.size() == static_cast<std::size_t>(kBatch);
    return true;
}

// A finished row is completed on the server and leaves the outbox; an
// unfinished one has its start sent once and waits for its end, unless a
// run before this one left it (killed): then the server keeps it unfinished.
bool SharedJournal::SendRow(const JournalEntry& row) {
    const std::int64_t local = row.id;
    const bool finished = !row.finished.empty();
    {
        std::lock_guard lock(mutex_);
        if (!finished && begun_.count(local) != 0) {
            return true;
        }
    }
    JournalEntry sent = row;
    sent.id = server_->Adopt(row);
    if (sent.id == 0 || (finished && !server_->Finish(sent))) {
        return false;
    }
    std::lock_guard lock(mutex_);
    if (!finished && left_.count(local) == 0) {
        begun_.insert(local);
        return true;
    }
    if (!outbox_->Run("DELETE FROM provisioning WHERE id = " + std::to_string(local))) {
        return false;
    }
    begun_.erase(local);
    --waiting_;
    return true;
}

bool SharedJournal::Newest(int limit, const std::string& imei, std::vector<JournalEntry>& rows) {
    return server_->Newest(limit, imei, rows);
}

bool SharedJournal::Find(const JournalFilter& filter, long long limit, const JournalRowSink& row) {
    return server_->Find(filter, limit, row);
}

bool SharedJournal::Count(const JournalFilter& filter, long long& count) {
    return server_->Count(filter, count);
}

std::string SharedJournal::LastError() const {
    std::lock_guard lock(mutex_);
    return error_;
}

JournalHealth SharedJournal::Health() const {
    std::lock_guard lock(mutex_);
    return {taking_, waiting_, fault_};
}

std::unique_ptr<Journal> OpenSharedJournal(const std::string& uri, const std::string& outbox,
                                           std::string& failure) {
    std::unique_ptr<PostgresJournal> server = PostgresJournal::Open(uri, failure);
    if (!server) {
        return nullptr;
    }
    std::unique_ptr<SqliteJournal> kept;
    if (!outbox.empty()) {
        kept = SqliteJournal::Open(outbox, failure);
        if (!kept) {
            failure = "the outbox " + outbox + ": " + failure;
            return nullptr;
        }
    }
    return std::make_unique<SharedJournal>(std::move(server), std::move(kept));
}

}  // namespace vorlen::fleet
