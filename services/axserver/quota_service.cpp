#include "services/axserver/quota_service.h"

#include "services/axserver/account_names.h"
#include "services/axserver/device_queries.h"
#include "services/axserver/filter_settings.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr DWORD kCompactIntervalMs = 10 * 60 * 1000;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string FileOf(const AllotrixBaseDbRec& record) {
    char file[kFileNameSize] = {};
    record.GetFileName(file);
    return file;
}

std::string FolderOf(const AllotrixBaseDbRec& record) {
    return ObjectFolder(record.GetDeviceName(), FileOf(record));
}

uint64_t OwnerUsage(const UsageResult& result, const std::string& account) {
    uint64_t bytes = 0;
    for (const auto& [owner, ownerBytes] : result.bytesByOwner)
        if (SameAccount(owner, account))
            bytes += ownerBytes;
    return bytes;
}

} // namespace

QuotaService::QuotaService() {
    // Installed, axscan.exe lies beside axserver.exe; elsewhere the scans walk in this process.
    m_scanner.UseWalkHelpers(WalkHelperBesideThisProgram());
}

void QuotaService::UseWalkHelpers(const std::string& program) {
    m_scanner.UseWalkHelpers(program);
}

QuotaService::~QuotaService() {
    Stop();
}

DWORD QuotaService::Start(const std::string& storeFolder) {
    DWORD error = m_store.Open(storeFolder);
    if (error != ERROR_SUCCESS)
        return error;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        AccountResolver resolver;
        m_store.ForEachRecord([&](const AllotrixDbRec& stored) {
            AllotrixBaseDbRec record = stored;
            record.SetAttributes(record.GetAttributes() & ~kAttrScanStatusBits);
            std::string account;
            bool unmapped =
                record.GetFileOwner()[0] && !resolver.Resolve(record.GetFileOwner(), account);
            IndexLocked(record, account, unmapped);
        });
        // The first scans wait behind every change reported meanwhile.
        for (auto& [key, object] : m_objects)
            QueueLocked(key, ScanPriority::Background);
        m_stopping = false;
    }
    m_watcher = std::make_unique<FolderWatcher>(
        [this](const std::string& folder, FolderChange change) { OnFolderChange(folder, change); });
    m_lastCompact = GetTickCount();
    for (std::thread& worker : m_workers)
        worker = std::thread([this] { ScanLoop(); });
    return ERROR_SUCCESS;
}

void QuotaService::Stop() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
    if (m_watcher)
        m_watcher->Stop();
    m_watcher.reset();
    m_store.Close();
}

void QuotaService::IndexLocked(const AllotrixBaseDbRec& record, const std::string& account,
                               bool unmapped) {
    std::string folder = FolderOf(record);
    std::string key = Lower(folder);
    Entry& entry = m_entries[key][Lower(record.GetFileOwner())];
    entry.record.Change() = record;
    entry.account = account;
    entry.unmapped = unmapped;
    ObjectState& object = m_objects[key];
    object.folder = folder;
    ApplyStatusLocked(key);
}

void QuotaService::QueueLocked(const std::string& objectKey, ScanPriority priority) {
    ObjectState& object = m_objects[objectKey];
    if (object.scanning) {
        // Scanned again once the scan under way ends: two scans of one object never overlap.
        object.scanAgain = true;
    } else if (!object.queued || (priority == ScanPriority::Change && !object.queuedForChange)) {
        object.queued = true;
        object.queuedForChange = priority == ScanPriority::Change;
        (priority == ScanPriority::Change ? m_changed : m_background).push_back(objectKey);
        m_wake.notify_one();
    }
    ApplyStatusLocked(objectKey);
}

void QuotaService::ApplyStatusLocked(const std::string& objectKey) {
    const ObjectState& object = m_objects[objectKey];
    uint32_t status = (object.queued || object.scanAgain ? uint32_t{AttrStatus40000000} : 0) |
                      (object.scanning ? uint32_t{AttrStatus100} : 0);
    for (auto& [owner, entry] : m_entries[objectKey]) {
        const uint32_t attributes = entry.record.Get().GetAttributes();
        if ((attributes & kAttrScanStatusBits) != status)
            entry.record.Change().SetAttributes((attributes & ~kAttrScanStatusBits) | status);
    }
}

bool QuotaService::ListNext(ListPosition& position, size_t count, const ListVisitor& visit) const {
    std::lock_guard<std::mutex> hold(m_lock);
    auto object = position.started ? m_entries.lower_bound(position.object) : m_entries.begin();
    // The keys of the last record visited; copied into `position` once, at the end.
    const std::string* lastObject = nullptr;
    const std::string* lastOwner = nullptr;
    auto keepPosition = [&] {
        if (lastObject)
            position = {*lastObject, *lastOwner, true};
    };
    for (; object != m_entries.end(); ++object) {
        const auto& owners = object->second;
        bool resume = position.started && object->first == position.object;
        for (auto entry = resume ? owners.upper_bound(position.owner) : owners.begin();
             entry != owners.end(); ++entry) {
            if (count == 0)
                return keepPosition(), false;
            const Entry& listed = entry->second;
            visit(listed.unmapped ? uint32_t{ERROR_NONE_MAPPED} : 0, listed.record.Packed());
            lastObject = &object->first;
            lastOwner = &entry->first;
            --count;
        }
    }
    keepPosition();
    return true;
}

std::string QuotaService::StoredOwnerLocked(const std::string& objectKey,
                                            const std::string& owner) const {
    if (owner.empty())
        return owner;
    std::string account;
    if (!AccountResolver().Resolve(owner, account))
        return owner;
    auto object = m_entries.find(objectKey);
    // Quotas saved before owners were stored by their account's full name keep the given name.
    if (object != m_entries.end() && object->second.count(Lower(account)) == 0 &&
        object->second.count(Lower(owner)) != 0)
        return owner;
    return account;
}

DWORD QuotaService::Get(std::string device, std::string file, const std::string& givenOwner,
                        AllotrixDbRec& out) const {
    DWORD error = NormalizeObject(device, file);
    if (error != ERROR_SUCCESS)
        return error == ERROR_INVALID_DRIVE ? ERROR_FILE_NOT_FOUND : error;
    std::lock_guard<std::mutex> hold(m_lock);
    std::string key = Lower(ObjectFolder(device, file));
    auto object = m_entries.find(key);
    if (object == m_entries.end())
        return ERROR_FILE_NOT_FOUND;
    std::string owner = StoredOwnerLocked(key, givenOwner);
    auto entry = object->second.find(Lower(owner));
    if (entry == object->second.end() ||
        !m_store.Find(device.c_str(), file.c_str(), owner.c_str(), out))
        return ERROR_FILE_NOT_FOUND;
    const AllotrixBaseDbRec& listed = entry->second.record.Get();
    out.SetUsedQuota(listed.GetUsedQuota());
    out.SetHighWaterMark(listed.GetHighWaterMark());
    out.SetAttributes(listed.GetAttributes());
    return ERROR_SUCCESS;
}

uint64_t QuotaService::MeasureNow(const std::string& folder, const std::string& account) {
    UsageResult result = m_scanner.Scan(folder, !account.empty());
    return account.empty() ? result.totalBytes : OwnerUsage(result, account);
}

// Turns the size attributes into bytes: the device's capacity, a percentage of it, or a
// percentage of the usage measured now. A quota applied from a template arrives already turned
// into bytes with its percent-of-device attribute still set: a value above 100 is taken as bytes.
constexpr uint64_t kLargestPercentage = 100;

DWORD QuotaService::ResolveQuota(AllotrixDbRec& record, const std::string& folder,
                                 const std::string& account, uint64_t used) {
    bool ofDevice = record.IsAttributeSet(AttrPercentOfDevice);
    bool useDevice = record.IsAttributeSet(AttrUseDeviceSize);
    if (ofDevice || useDevice) {
        DeviceInfo device;
        DWORD error = QueryDeviceInfo(record.GetDeviceName(), device);
        if (error != ERROR_SUCCESS)
            return error;
        if (useDevice)
            record.SetPermQuota(device.capacity);
        else if (record.GetPermQuota() <= kLargestPercentage)
            record.SetPermQuota(record.GetPermQuota() * device.capacity / 100);
        record.TurnAttributeOff(AttrPercentOfDevice);
    } else if (record.IsAttributeSet(AttrPercentOfCurrentUsed)) {
        if (used == UINT64_MAX)
            used = MeasureNow(folder, account);
        // A quota learned from little or no usage gets the filter driver's minimum.
        record.SetPermQuota(std::max(record.GetPermQuota() * used / 100, MinimumLearnedQuota()));
        record.TurnAttributeOff(AttrPercentOfCurrentUsed);
    }
    return ERROR_SUCCESS;
}

DWORD QuotaService::Save(AllotrixDbRec& record) {
    if (!record.HasTerminatedTexts())
        return ERROR_INVALID_DATA;
    std::string device = record.GetDeviceName();
    std::string file = FileOf(record);
    DWORD error = NormalizeObject(device, file);
    if (error != ERROR_SUCCESS)
        return error;
    std::string folder = ObjectFolder(device, file);
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ERROR_PATH_NOT_FOUND;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return ERROR_DIRECTORY;
    record.SetObjectName(device.c_str(), file.c_str());

    std::string owner = record.GetFileOwner();
    std::string account;
    if (owner.empty()) {
        record.TurnAttributeOn(AttrAbsolute);
        record.TurnAttributeOff(AttrExcludeFromAbsolute);
    } else {
        record.TurnAttributeOff(AttrAbsolute);
        if (!AccountResolver().Resolve(owner, account))
            return ERROR_NONE_MAPPED;
        // One quota per account, however it was named ("Users", "BUILTIN\Users").
        if (account.size() >= kOwnerNameSize)
            return ERROR_FILENAME_EXCED_RANGE;
        owner = account;
        record.SetFileOwner(owner.c_str());
    }
    record.SetAttributes(record.GetAttributes() & ~kAttrScanStatusBits);

    std::string key = Lower(folder);
    uint64_t used = UINT64_MAX, highWater = 0;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto object = m_entries.find(key);
        if (object != m_entries.end()) {
            auto entry = object->second.find(Lower(owner));
            if (entry != object->second.end()) {
                used = entry->second.record.Get().GetUsedQuota();
                highWater = entry->second.record.Get().GetHighWaterMark();
            }
        }
    }
    error = ResolveQuota(record, folder, account, used);
    if (error != ERROR_SUCCESS)
        return error;
    if (used == UINT64_MAX)
        used = 0;
    if (record.IsAttributeSet(AttrResetHighWater))
        highWater = used;
    record.SetUsedQuota(used);
    record.SetHighWaterMark(std::max(highWater, used));

    std::lock_guard<std::mutex> hold(m_lock);
    error = m_store.Save(record);
    if (error != ERROR_SUCCESS)
        return error;
    IndexLocked(record, account, false);
    QueueLocked(key, ScanPriority::Change);
    record.SetAttributes(m_entries[key][Lower(owner)].record.Get().GetAttributes());
    return ERROR_SUCCESS;
}

DWORD QuotaService::Delete(std::string device, std::string file, const std::string& givenOwner) {
    DWORD error = NormalizeObject(device, file);
    if (error != ERROR_SUCCESS)
        return error == ERROR_INVALID_DRIVE ? ERROR_FILE_NOT_FOUND : error;
    std::string folder = ObjectFolder(device, file);
    std::string key = Lower(folder);
    bool objectGone = false;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        std::string owner = StoredOwnerLocked(key, givenOwner);
        auto object = m_entries.find(key);
        if (object == m_entries.end() || object->second.find(Lower(owner)) == object->second.end())
            return ERROR_FILE_NOT_FOUND;
        error = m_store.Delete(device.c_str(), file.c_str(), owner.c_str());
        if (error != ERROR_SUCCESS)
            return error;
        object->second.erase(Lower(owner));
        if (object->second.empty()) {
            m_entries.erase(object);
            m_objects.erase(key);
            objectGone = true;
        } else {
            // The object's own usage depends on the owners excluded from it.
            QueueLocked(key, ScanPriority::Change);
        }
    }
    if (objectGone && m_watcher)
        m_watcher->Remove(folder);
    return ERROR_SUCCESS;
}

DWORD QuotaService::Scan(std::string device, std::string file) {
    DWORD error = NormalizeObject(device, file);
    if (error != ERROR_SUCCESS)
        return error == ERROR_INVALID_DRIVE ? ERROR_FILE_NOT_FOUND : error;
    std::lock_guard<std::mutex> hold(m_lock);
    std::string key = Lower(ObjectFolder(device, file));
    if (m_entries.find(key) == m_entries.end())
        return ERROR_FILE_NOT_FOUND;
    QueueLocked(key, ScanPriority::Change);
    return ERROR_SUCCESS;
}

void QuotaService::OnFolderChange(const std::string& folder, FolderChange) {
    std::lock_guard<std::mutex> hold(m_lock);
    std::string key = Lower(folder);
    if (m_entries.find(key) != m_entries.end())
        QueueLocked(key, ScanPriority::Change);
}

bool QuotaService::NextScanLocked(std::string& key) {
    for (std::deque<std::string>* queue : {&m_changed, &m_background}) {
        while (!queue->empty()) {
            key = std::move(queue->front());
            queue->pop_front();
            auto object = m_objects.find(key);
            // An object queued twice (first scan, then a change) is scanned once.
            if (object != m_objects.end() && object->second.queued && !object->second.scanning)
                return true;
        }
    }
    return false;
}

void QuotaService::ScanLoop() {
    for (;;) {
        std::string key;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_wake.wait(hold, [&] { return m_stopping || NextScanLocked(key); });
            if (m_stopping)
                return;
        }
        ScanObject(key);
        bool compact = false;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            compact = m_changed.empty() && m_background.empty() &&
                      GetTickCount() - m_lastCompact > kCompactIntervalMs;
            if (compact)
                m_lastCompact = GetTickCount();
        }
        if (compact)
            m_store.Compact();
    }
}

void QuotaService::ScanObject(const std::string& key) {
    std::string folder;
    bool attributeOwners = false;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto object = m_objects.find(key);
        if (object == m_objects.end())
            return;
        object->second.queued = false;
        object->second.queuedForChange = false;
        object->second.scanning = true;
        folder = object->second.folder;
        for (const auto& [owner, entry] : m_entries[key])
            attributeOwners = attributeOwners || !owner.empty();
        ApplyStatusLocked(key);
    }
    // Watched before it is measured, so that no change after the measurement goes unseen; a
    // folder that was removed and made again is watched anew. The scan opens every subfolder.
    if (!m_watcher->IsWatched(folder))
        m_watcher->Add(folder, FolderWatcher::Subfolders::ListedByCaller);
    UsageResult result = m_scanner.Scan(folder, attributeOwners);

    struct Update {
        std::string device, file, owner;
        uint64_t used, highWater;
        uint32_t status;
    };
    std::vector<Update> updates;
    {
        std::unique_lock<std::mutex> hold(m_lock);
        auto object = m_objects.find(key);
        if (object == m_objects.end()) {
            // Deleted during the scan, possibly after Delete stopped watching it.
            hold.unlock();
            m_watcher->Remove(folder);
            return;
        }
        object->second.scanning = false;
        if (object->second.scanAgain) {
            object->second.scanAgain = false;
            QueueLocked(key, ScanPriority::Change);
        }
        bool folderGone =
            result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND;
        auto& owners = m_entries[key];
        if (result.error == ERROR_SUCCESS || folderGone) {
            uint64_t excluded = 0;
            for (auto& [owner, entry] : owners) {
                if (owner.empty())
                    continue;
                uint64_t used = OwnerUsage(result, entry.account);
                entry.record.Change().SetUsedQuota(used);
                if (entry.record.Get().IsAttributeSet(AttrExcludeFromAbsolute))
                    excluded += used;
            }
            auto own = owners.find("");
            if (own != owners.end())
                own->second.record.Change().SetUsedQuota(
                    result.totalBytes > excluded ? result.totalBytes - excluded : 0);
        }
        ApplyStatusLocked(key);
        for (auto& [owner, entry] : owners) {
            AllotrixBaseDbRec& record = entry.record.Change();
            record.SetHighWaterMark(std::max(record.GetHighWaterMark(), record.GetUsedQuota()));
            updates.push_back({record.GetDeviceName(), FileOf(record), record.GetFileOwner(),
                               record.GetUsedQuota(), record.GetHighWaterMark(),
                               record.GetAttributes() & kAttrScanStatusBits});
        }
    }
    for (const Update& update : updates)
        m_store.UpdateUsage(update.device.c_str(), update.file.c_str(), update.owner.c_str(),
                            update.used, update.highWater, update.status);
}
