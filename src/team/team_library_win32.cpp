#include "team/team_library_win32.h"

#include "team/team_cache.h"
#include "win/shell_win32.h"

namespace replybar {

TeamLibraryHolder::TeamLibraryHolder(win::UiQueue::Poster queue, std::function<void()> news,
                                     IFiles& files, std::wstring cacheFolder)
    : files_(files), cacheFolder_(std::move(cacheFolder)), mailbox_(std::make_shared<Mailbox>()) {
    mailbox_->queue = std::move(queue);
    mailbox_->news = std::move(news);
}

TeamLibraryHolder::~TeamLibraryHolder() {
    {
        std::lock_guard<std::mutex> hold(mailbox_->lock);
        mailbox_->closed = true;
    }
    watch_.reset();
}

void TeamLibraryHolder::setLocation(const std::wstring& location, int checkSeconds) {
    if (location == location_ && watch_) {
        watch_->checkNow();
        return;
    }
    watch_.reset();
    {
        // Outcomes of the old location that are still on their way are not for the new one.
        std::lock_guard<std::mutex> hold(mailbox_->lock);
        mailbox_->outcomes.clear();
    }
    location_ = location;
    version_.reset();
    groups_.reset();
    if (location.empty()) return;

    std::optional<team::CachedCopy> cached;
    if (!cacheFolder_.empty())
        if (const auto bytes = files_.readAll(cacheFolder_ + team::kCacheFileName))
            cached = team::parseCache(*bytes, location);
    version_.emplace(std::move(cached));
    useVersion();

    // The watch's thread only queues and posts: the bar applies each outcome on its own thread.
    // Work still on its way after the holder has gone finds the mailbox gone and does nothing.
    std::weak_ptr<Mailbox> box = mailbox_;
    watch_ = std::make_unique<team::TeamSourceWatch>(
        team::TeamSourceWatch::Options{location, checkSeconds > 0 ? checkSeconds : 60, 10000},
        [box](team::FetchOutcome outcome) {
            const auto mailbox = box.lock();
            if (!mailbox) return;
            std::lock_guard<std::mutex> hold(mailbox->lock);
            if (mailbox->closed) return;
            mailbox->outcomes.push_back(std::move(outcome));
            mailbox->queue.post([box] {
                if (const auto m = box.lock(); m && !m->closed && m->news) m->news();
            });
        });
}

bool TeamLibraryHolder::takeOutcomes() {
    std::deque<team::FetchOutcome> outcomes;
    {
        std::lock_guard<std::mutex> hold(mailbox_->lock);
        outcomes.swap(mailbox_->outcomes);
    }
    if (!version_) return false;
    bool changed = false;
    for (const team::FetchOutcome& outcome : outcomes) {
        const team::TeamVersion::Step step = version_->apply(outcome);
        if (step.writeCache) writeCache();
        changed = changed || step.libraryChanged;
    }
    if (changed) useVersion();
    return changed;
}

void TeamLibraryHolder::useVersion() {
    const team::TeamLibrary* library = version_ ? version_->library() : nullptr;
    groups_ = library ? std::make_shared<const std::vector<ReplyGroup>>(team::replyGroupsOf(*library))
                      : nullptr;
}

// A copy that cannot be written costs only the next start's head start: nothing to tell.
void TeamLibraryHolder::writeCache() {
    if (cacheFolder_.empty() || !version_) return;
    if (!files_.isFolder(cacheFolder_)) ::CreateDirectoryW(cacheFolder_.c_str(), nullptr);
    std::wstring reason;
    files_.writeAtomic(cacheFolder_ + team::kCacheFileName,
                       team::formatCache(location_, version_->fetchedAt(), version_->bytesInUse()),
                       reason);
}

std::wstring TeamLibraryHolder::status() const {
    if (location_.empty() || !version_) return L"";
    return version_->statusText(win::localTimeNow());
}

}  // namespace replybar
