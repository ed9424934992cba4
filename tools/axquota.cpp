// axquota: lists and changes the quotas of an AXServer quota service from the command line.
#include "client/axcli.h"
#include "client/record_list.h"
#include "server/template_object.h"
#include "server/template_reader.h"
#include "tools/axquota_format.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;     // the service refused or failed the request
constexpr int kExitUsage = 2;      // bad command line
constexpr int kExitNoService = 3;  // the service could not be reached
constexpr int kExitNoTemplate = 4; // the quota template could not be read

const char kUsage[] =
    "Usage: axquota [-s SERVER] COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  list [-bytes | -csv]          list every quota: object, owner, used, quota, percent,\n"
    "                                status (-bytes: sizes as exact byte counts; -csv: one\n"
    "                                comma-separated line per quota with a header line, sizes\n"
    "                                in bytes, for spreadsheets and scripts)\n"
    "  set OBJECT SIZE [OPTIONS]     create or change a quota; SIZE such as 500MB, 2G, 1.5GB,\n"
    "                                1048576 (whole bytes; units B, KB, MB, GB, TB, PB)\n"
    "      -owner ACCOUNT            the quota of an account inside the object (default: the\n"
    "                                object's own quota)\n"
    "      -group | -global-group    the owner is a group or a global group (with -owner)\n"
    "      -exclude                  the owner's usage does not count against the object\n"
    "                                (with -owner)\n"
    "      -thresholds P1,P2,...     up to five thresholds in percent, highest first; 0\n"
    "                                clears one (-thresholds 90,0 clears the second)\n"
    "      -overdraft SIZE           bytes allowed beyond the quota\n"
    "      -monitor                  do not enforce the quota, only watch it\n"
    "  delete OBJECT [-owner ACCOUNT]  delete a quota\n"
    "  scan OBJECT                   rescan the object's usage\n"
    "  devices                       the server's devices with type, capacity and free space\n"
    "  apply-template TEMPLATE OBJECT [OPTIONS]\n"
    "                                apply a quota template kept on the server to a quota,\n"
    "                                creating the quota when missing; TEMPLATE is a template's\n"
    "                                name, such as \"Home Folders\" or \"<User Fallback>\"\n"
    "      -owner ACCOUNT            the quota of an account inside the object (default: the\n"
    "                                object's own quota)\n"
    "      -group | -global-group    a new quota's owner is a group or a global group\n"
    "\n"
    "OBJECT is a folder on the server, such as C:\\Data. SERVER is a computer name (default:\n"
    "this computer).\n"
    "\n"
    "Exit codes: 0 done; 1 the service refused or failed the request; 2 bad command line;\n"
    "3 the AXServer service could not be reached; 4 the quota template could not be read.\n";

std::string ErrorText(uint32_t status) {
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, status, 0,
                   text, sizeof text, nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(status)
                           : message + " (" + std::to_string(status) + ")";
}

int Failed(const std::string& what, uint32_t status) {
    fprintf(stderr, "axquota: %s: %s\n", what.c_str(), ErrorText(status).c_str());
    return kExitFailed;
}

// What a refused request on a quota means, in the administrator's words; "" when the system's
// own text says it best.
std::string Explained(uint32_t status, const std::string& object, const std::string& owner) {
    switch (status) {
    case ERROR_DIRECTORY:
        return object + " is a file; a quota is set on a folder";
    case ERROR_PATH_NOT_FOUND:
        return "there is no folder " + object;
    case ERROR_INVALID_DRIVE:
        return "the drive of " + object + " does not exist";
    case ERROR_INVALID_NAME:
        return object + " is not a folder name such as C:\\Data";
    case ERROR_NONE_MAPPED:
        return "there is no account named " + owner;
    case ERROR_FILE_NOT_FOUND:
        return owner.empty() ? object + " has no quota of its own"
                             : object + " has no quota for " + owner;
    default:
        return {};
    }
}

int Refused(const std::string& what, uint32_t status, const std::string& object,
            const std::string& owner) {
    std::string explained = Explained(status, object, owner);
    if (explained.empty())
        return Failed(what, status);
    fprintf(stderr, "axquota: %s: %s.\n", what.c_str(), explained.c_str());
    return kExitFailed;
}

int UsageError(const std::string& message) {
    fprintf(stderr, "axquota: %s\nTry \"axquota --help\".\n", message.c_str());
    return kExitUsage;
}

struct Arguments {
    std::string server;
    std::vector<std::string> words;
    size_t next = 0;

    bool More() const { return next < words.size(); }
    const std::string& Take() { return words[next++]; }
    // Takes the next word into `out`, or says that `verb` misses `what` and returns false.
    bool TakeRequired(const char* verb, const char* what, std::string& out) {
        if (!More()) {
            UsageError(std::string(verb) + ": missing " + what);
            return false;
        }
        out = Take();
        return true;
    }
};

struct ObjectName {
    char device[kDeviceNameSize] = {};
    char file[kFileNameSize] = {};
};

int Parse(AXCli& client, const std::string& object, ObjectName& name) {
    uint32_t status = client.ParseDeviceFile(name.device, name.file, object.c_str(), nullptr);
    return status == ERROR_SUCCESS ? kExitOk : Refused("object " + object, status, object, "");
}

// The quota of `owner` ("" for the object's own) on the object, when there is one.
bool FindQuota(AXCli& client, ObjectName& name, const std::string& owner, AllotrixDbRec& quota) {
    return client.Get(&quota, name.device, name.file, const_cast<char*>(owner.c_str()), 0) ==
           ERROR_SUCCESS;
}

// The permanent quota: a size, or a percentage of the device or of the usage.
std::string QuotaText(const AllotrixBaseDbRec& record, bool exactBytes) {
    if (record.IsAttributeSet(AttrPercentOfDevice))
        return std::to_string(record.GetPermQuota()) + "% dev";
    if (record.IsAttributeSet(AttrPercentOfCurrentUsed))
        return std::to_string(record.GetPermQuota()) + "% used";
    return exactBytes ? std::to_string(record.GetPermQuota()) : FormatBytes(record.GetPermQuota());
}

int ListCsv(AXCli& client) {
    // Lines end in CR LF as the format asks, whatever the console makes of a line feed.
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    printf("%s\r\n", QuotaCsvHeader().c_str());
    uint32_t status = ListRecords(client, [](const AllotrixBaseDbRec& record) {
        printf("%s\r\n", QuotaCsvLine(record).c_str());
    });
    return status == kAxOk ? kExitOk : Failed("listing the quotas", status);
}

int List(AXCli& client, bool exactBytes) {
    auto size = [exactBytes](uint64_t bytes) {
        return exactBytes ? std::to_string(bytes) : FormatBytes(bytes);
    };
    printf("%-32s %-28s %10s %10s %7s  %s\n", "Object", "Owner", "Used", "Quota", "Percent",
           "Status");
    uint32_t status = ListRecords(client, [&](const AllotrixBaseDbRec& record) {
        std::string quota = QuotaText(record, exactBytes);
        int percent = PercentUsed(record);
        std::string percentText = percent < 0 ? "-" : std::to_string(percent) + "%";
        const char* owner = record.GetFileOwner()[0] ? record.GetFileOwner() : "(object)";
        printf("%-32s %-28s %10s %10s %7s  %s\n", record.GetMappedName(1), owner,
               size(record.GetUsedQuota()).c_str(), quota.c_str(), percentText.c_str(),
               QuotaState(record).c_str());
    });
    return status == kAxOk ? kExitOk : Failed("listing the quotas", status);
}

int Set(AXCli& client, Arguments& args) {
    std::string object, sizeText;
    if (!args.TakeRequired("set", "OBJECT", object) || !args.TakeRequired("set", "SIZE", sizeText))
        return kExitUsage;
    uint64_t quota = 0;
    if (!ParseBytes(sizeText, quota))
        return UsageError("set: not a size: " + sizeText);
    AllotrixDbRec record;
    record.SetPermQuota(quota);
    std::string owner;
    uint8_t thresholds[kThresholdCount] = {};
    int thresholdCount = 0;
    while (args.More()) {
        std::string option = args.Take();
        if (option == "-owner" && args.More()) {
            owner = args.Take();
        } else if (option == "-group") {
            record.TurnAttributeOn(AttrGroupOwner);
        } else if (option == "-global-group") {
            record.TurnAttributeOn(AttrGlobalGroupOwner);
        } else if (option == "-exclude") {
            record.TurnAttributeOn(AttrExcludeFromAbsolute);
        } else if (option == "-monitor") {
            record.TurnAttributeOn(AttrNoEnforce);
        } else if (option == "-overdraft" && args.More()) {
            uint64_t overdraft = 0;
            std::string text = args.Take();
            if (!ParseBytes(text, overdraft))
                return UsageError("set: not a size: " + text);
            record.SetOverDraft(overdraft);
        } else if (option == "-thresholds" && args.More()) {
            std::string text = args.Take();
            std::string problem = ParseThresholds(text, thresholds, thresholdCount);
            if (!problem.empty())
                return UsageError("set: -thresholds " + text + ": " + problem);
        } else {
            return UsageError("set: unknown or incomplete option " + option);
        }
    }
    if (!owner.empty() && owner.size() >= kOwnerNameSize)
        return UsageError("set: owner name too long");
    if (owner.empty() &&
        record.GetAttributes() & (AttrGroupOwner | AttrGlobalGroupOwner | AttrExcludeFromAbsolute))
        return UsageError("set: -group, -global-group and -exclude apply to an owner's quota: "
                          "give -owner ACCOUNT");
    for (int i = 0; i < thresholdCount; ++i)
        record.SetThreshPercent(i + 1, thresholds[i]);
    ObjectName name;
    if (int result = Parse(client, object, name))
        return result;
    // Keep what an existing quota has beyond the values given here (its threshold actions).
    AllotrixDbRec existing;
    if (FindQuota(client, name, owner, existing)) {
        existing.SetPermQuota(record.GetPermQuota());
        existing.SetOverDraft(record.GetOverDraft());
        existing.SetAttributes(
            (existing.GetAttributes() &
             ~(AttrGroupOwner | AttrGlobalGroupOwner | AttrExcludeFromAbsolute | AttrNoEnforce)) |
            record.GetAttributes());
        for (int threshold = 1; threshold <= thresholdCount; ++threshold)
            existing.SetThreshPercent(threshold, record.GetThreshPercent(threshold));
        record = existing;
    } else {
        record.SetObjectName(name.device, name.file);
        record.SetFileOwner(owner.c_str());
        if (owner.empty())
            record.TurnAttributeOn(AttrAbsolute);
    }
    uint32_t status = client.Save(&record, 0);
    if (status != ERROR_SUCCESS)
        return Refused("saving the quota of " + object, status, object, owner);
    printf("Quota of %s%s%s set to %s.\n", record.GetMappedName(1), owner.empty() ? "" : " for ",
           owner.c_str(), FormatBytes(record.GetPermQuota()).c_str());
    return kExitOk;
}

int Delete(AXCli& client, Arguments& args) {
    std::string object;
    if (!args.TakeRequired("delete", "OBJECT", object))
        return kExitUsage;
    std::string owner;
    if (args.More()) {
        if (args.Take() != "-owner" || !args.More())
            return UsageError("delete: expected -owner ACCOUNT");
        owner = args.Take();
    }
    if (args.More())
        return UsageError("delete: too many arguments");
    ObjectName name;
    if (int result = Parse(client, object, name))
        return result;
    uint32_t status = client.Delete(name.device, name.file, const_cast<char*>(owner.c_str()));
    if (status != ERROR_SUCCESS)
        return Refused("deleting the quota of " + object, status, object, owner);
    printf("Quota deleted.\n");
    return kExitOk;
}

int Scan(AXCli& client, Arguments& args) {
    if (args.words.size() - args.next != 1)
        return UsageError("scan: expected one OBJECT");
    std::string object = args.Take();
    ObjectName name;
    if (int result = Parse(client, object, name))
        return result;
    uint32_t status = client.Scan(name.device, name.file);
    if (status != ERROR_SUCCESS)
        return Refused("scanning " + object, status, object, "");
    printf("Rescan of %s queued.\n", object.c_str());
    return kExitOk;
}

std::string ServerText(const std::string& server) {
    return server.empty() ? "this computer" : server;
}

// Reads template `name` from the registry of `server` into `record`.
int ReadNamedTemplate(const std::string& server, const std::string& name, QuotaEditRecord& record) {
    // A template is one key below the templates' key: a name with a backslash would reach
    // into another key.
    if (name.empty() || name.find('\\') != std::string::npos)
        return UsageError("apply-template: not a template name: " + name);
    LONG status = ReadTemplate(server.empty() ? nullptr : server.c_str(), name.c_str(), nullptr,
                               record, IsFallbackTemplateName(name.c_str()));
    if (status == ERROR_SUCCESS)
        return kExitOk;
    if (status == ERROR_FILE_NOT_FOUND)
        fprintf(stderr, "axquota: there is no quota template \"%s\" on %s.\n", name.c_str(),
                ServerText(server).c_str());
    else
        fprintf(stderr, "axquota: cannot read quota template \"%s\" on %s: %s\n", name.c_str(),
                ServerText(server).c_str(), ErrorText(static_cast<uint32_t>(status)).c_str());
    return kExitNoTemplate;
}

int ApplyTemplateVerb(AXCli& client, Arguments& args) {
    std::string templateName, object;
    if (!args.TakeRequired("apply-template", "TEMPLATE", templateName) ||
        !args.TakeRequired("apply-template", "OBJECT", object))
        return kExitUsage;
    std::string owner;
    AllotrixBaseDbRec target; // the quota's identity, for a quota that does not exist yet
    while (args.More()) {
        std::string option = args.Take();
        if (option == "-owner" && args.More())
            owner = args.Take();
        else if (option == "-group")
            target.TurnAttributeOn(AttrGroupOwner);
        else if (option == "-global-group")
            target.TurnAttributeOn(AttrGlobalGroupOwner);
        else
            return UsageError("apply-template: unknown or incomplete option " + option);
    }
    if (owner.size() >= kOwnerNameSize)
        return UsageError("apply-template: owner name too long");
    if (owner.empty() && target.GetAttributes())
        return UsageError("apply-template: -group and -global-group need -owner");

    QuotaEditRecord source;
    if (int result = ReadNamedTemplate(args.server, templateName, source))
        return result;
    ObjectName name;
    if (int result = Parse(client, object, name))
        return result;

    // An existing quota keeps what it is; a new one is the object's own quota or the owner's.
    AllotrixDbRec existing;
    if (FindQuota(client, name, owner, existing)) {
        target = existing;
    } else {
        target.SetFileOwner(owner.c_str());
        if (owner.empty())
            target.TurnAttributeOn(AttrAbsolute);
    }
    target.SetObjectName(name.device, name.file);
    uint32_t status = ApplyTemplateToObject(client, target, source);
    if (status != ERROR_SUCCESS)
        return Failed("applying template \"" + templateName + "\" to " + object, status);
    printf("Template \"%s\" applied to the quota of %s%s%s: %s.\n", templateName.c_str(),
           target.GetMappedName(1), owner.empty() ? "" : " for ", owner.c_str(),
           QuotaText(target, false).c_str());
    return kExitOk;
}

const char* DriveTypeName(unsigned long type) {
    switch (type) {
    case DRIVE_REMOVABLE:
        return "removable";
    case DRIVE_FIXED:
        return "fixed";
    case DRIVE_REMOTE:
        return "remote";
    case DRIVE_CDROM:
        return "CD-ROM";
    case DRIVE_RAMDISK:
        return "RAM disk";
    default:
        return "unknown";
    }
}

int Devices(AXCli& client) {
    char names[260] = {};
    uint32_t status = client.GetDevices(names, sizeof names);
    if (status != ERROR_SUCCESS)
        return Failed("listing the devices", status);
    printf("%-8s %-10s %10s %10s\n", "Device", "Type", "Capacity", "Free");
    for (const char* name = names; *name; name += strlen(name) + 1) {
        unsigned long type = 0;
        int cluster = 0;
        int64_t capacity = 0, freeBytes = 0;
        status = client.GetDeviceInfo(name, &type, &cluster, &capacity, &freeBytes);
        if (status == kAxRetryDeviceInfo1 || status == kAxRetryDeviceInfo2)
            status = client.GetDeviceInfo(name, &type, &cluster, &capacity, &freeBytes);
        if (status != ERROR_SUCCESS) {
            printf("%-8s %s\n", name, ErrorText(status).c_str());
            continue;
        }
        printf("%-8s %-10s %10s %10s\n", name, DriveTypeName(type),
               FormatBytes(static_cast<uint64_t>(capacity)).c_str(),
               FormatBytes(static_cast<uint64_t>(freeBytes)).c_str());
    }
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--help" || word == "-help" || word == "-?" || word == "/?") {
            fputs(kUsage, stdout);
            return kExitOk;
        }
        if ((word == "-s" || word == "-server") && i + 1 < argc)
            args.server = argv[++i];
        else
            args.words.push_back(word);
    }
    if (!args.More())
        return UsageError("missing COMMAND");
    std::string command = args.Take();
    if (command != "list" && command != "set" && command != "delete" && command != "scan" &&
        command != "devices" && command != "apply-template")
        return UsageError("unknown command " + command);
    bool exactBytes = command == "list" && args.More() && args.words[args.next] == "-bytes";
    bool csv = command == "list" && args.More() && args.words[args.next] == "-csv";
    if (exactBytes || csv)
        args.Take();
    if ((command == "list" || command == "devices") && args.More())
        return UsageError(command + ": too many arguments");

    AXCli client;
    uint32_t status = client.Connect(args.server.c_str());
    if (status != ERROR_SUCCESS) {
        std::string server = args.server.empty() ? "this computer" : args.server;
        if (status == kAxNotRunning && args.server.empty())
            fprintf(stderr, "axquota: the AXServer service is not running on %s.\n",
                    server.c_str());
        else if (status == kAxNotRunning)
            fprintf(stderr,
                    "axquota: cannot reach the AXServer service on %s: the computer cannot be "
                    "found, or the service is not running there.\n",
                    server.c_str());
        else if (status == ERROR_SERVICE_NOT_ACTIVE)
            fprintf(stderr,
                    "axquota: the AXServer service is not running on %s, and another program "
                    "holds its pipe.\n",
                    server.c_str());
        else
            fprintf(stderr, "axquota: cannot reach the AXServer service on %s: %s\n",
                    server.c_str(), ErrorText(status).c_str());
        return kExitNoService;
    }
    if (command == "list")
        return csv ? ListCsv(client) : List(client, exactBytes);
    if (command == "set")
        return Set(client, args);
    if (command == "delete")
        return Delete(client, args);
    if (command == "scan")
        return Scan(client, args);
    if (command == "apply-template")
        return ApplyTemplateVerb(client, args);
    return Devices(client);
}
