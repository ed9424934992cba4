#include "services/axpolicy/threshold_actions.h"

#include "services/axpolicy/command_runner.h"
#include "services/axpolicy/macro_expansion.h"
#include "services/axpolicy/policy_settings.h"
#include "services/axpolicy/reports.h"
#include "services/axpolicy/smtp_client.h"
#include "services/axpolicy/user_notice.h"
#include "base/handles.h"

#include <cstdio>

struct ThresholdActions::Run {
    const Firing& firing;
    const AllotrixActionRec& action;
    MacroContext macros;
    std::string prefix; // Prefix(): the start of every log entry about this firing
    std::string message;
    std::vector<MailAttachment> reports;
};

namespace {

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

bool Mentions(const std::string& text, const char* macro) {
    std::string lower = text;
    CharLowerBuffA(lower.data(), static_cast<DWORD>(lower.size()));
    return lower.find(macro) != std::string::npos;
}

WORD EventType(const AllotrixActionRec& action) {
    if (action.IsPolicyFlagSet(PolSevere))
        return EVENTLOG_ERROR_TYPE;
    if (action.IsPolicyFlagSet(PolWarning))
        return EVENTLOG_WARNING_TYPE;
    return EVENTLOG_INFORMATION_TYPE;
}

// Creates the folder and the folders above it that are missing.
DWORD CreateFolders(const std::string& folder) {
    if (CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return ERROR_SUCCESS;
    DWORD error = GetLastError();
    size_t slash = folder.find_last_of('\\');
    if (error != ERROR_PATH_NOT_FOUND || slash == std::string::npos || slash < 3)
        return error;
    error = CreateFolders(folder.substr(0, slash));
    if (error != ERROR_SUCCESS)
        return error;
    return CreateDirectoryA(folder.c_str(), nullptr) ? ERROR_SUCCESS : GetLastError();
}

DWORD WriteWholeFile(const std::string& path, const std::string& content) {
    base::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError();
    DWORD written = 0;
    if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                   nullptr))
        return GetLastError();
    return ERROR_SUCCESS;
}

std::string TimeStamp() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    char text[32];
    snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond);
    return text;
}

} // namespace

ThresholdActions::ThresholdActions(EventLog& log, bool auditing, std::string policyFolder,
                                   HANDLE stopEvent, DWORD commandTimeoutMs)
    : m_log(log), m_auditing(auditing), m_folder(std::move(policyFolder)), m_stopEvent(stopEvent),
      m_commandTimeoutMs(commandTimeoutMs) {}

std::string ThresholdActions::Prefix(const AllotrixDbRec& record, int threshold) {
    std::string owner = record.GetFileOwner();
    return "Threshold " + std::to_string(threshold) + " (" +
           std::to_string(record.GetThreshPercent(threshold)) + "%) of " + record.GetMappedName(1) +
           (owner.empty() ? "" : " for " + owner) + ": ";
}

void ThresholdActions::Audit(const Run& run, const std::string& what) {
    if (m_auditing)
        m_log.Write(EVENTLOG_INFORMATION_TYPE, run.prefix + what);
}

void ThresholdActions::Fail(const Run& run, const std::string& what) {
    m_log.Write(EVENTLOG_ERROR_TYPE, run.prefix + what);
}

void ThresholdActions::CarryOut(const Firing& firing) {
    const AllotrixDbRec& record = firing.record;
    const AllotrixActionRec& action = record.Actions[firing.threshold - 1];
    std::string object = record.GetMappedName(1);
    std::string owner = record.GetFileOwner();
    Run run{firing, action, {record, firing.threshold, owner, ComputerName(), ""}, "", "", {}};
    if (run.macros.user.empty())
        run.macros.user = PathOwner(object);
    std::string texts = std::string(action.GetMessageA()) + action.GetPolicyToExecute() +
                        action.ReportMail.MailSubject;
    if (Mentions(texts, "[opened file]"))
        run.macros.openedFile = NewestFile(object);

    run.prefix = Prefix(record, firing.threshold);
    run.message = ExpandMacros(action.GetMessageA(), run.macros);
    if (run.message.empty())
        run.message = ExpandMacros(
            std::string("Usage of [OBJECT NAME]") + (owner.empty() ? "" : " by [OWNER]") +
                " is [PERCENT USED]% of its quota: it " +
                (firing.upward ? "rose to or past" : "fell under") + " threshold [THRESH NUMBER].",
            run.macros);
    Audit(run, firing.upward ? "usage rose to or past the threshold."
                             : "usage fell under the threshold.");

    SendMessageActions(run);
    RunCommandAction(run);
    WriteReports(run);
    SendMail(run);
}

void ThresholdActions::SendMessageActions(Run& run) {
    const AllotrixActionRec& action = run.action;
    if (action.IsPolicyFlagSet(PolSendToConsole)) {
        std::string server = action.GetServerName();
        DWORD error = m_log.Write(EventType(action), run.message, server);
        if (error != ERROR_SUCCESS)
            Fail(run, "the message could not be written to the event log of " +
                          (server.empty() ? std::string("this computer") : server) + ": " +
                          DescribeError(error));
    }
    if (action.IsPolicyFlagSet(PolNotifyUser)) {
        DWORD error = NotifyUser("AXPolicy", run.message);
        if (error != ERROR_SUCCESS)
            Fail(run, "the user could not be notified: " + DescribeError(error));
        else
            Audit(run, "the message was shown to the user: " + run.message);
    }
    if (action.IsPolicyFlagSet(PolSnmpTrap))
        m_log.Write(EVENTLOG_WARNING_TYPE,
                    run.prefix + "no SNMP trap was sent: this server sends no SNMP traps.");
}

void ThresholdActions::RunCommandAction(Run& run) {
    std::string command = ExpandMacros(run.action.GetPolicyToExecute(), run.macros);
    if (command.find_first_not_of(" \t\r\n") == std::string::npos)
        return;
    CommandOutcome outcome = RunCommand(command, m_folder, m_commandTimeoutMs, m_stopEvent);
    std::string output = outcome.output.empty() ? "" : " Its output: " + outcome.output;
    if (outcome.startError != ERROR_SUCCESS)
        Fail(run, "the command could not be started (" + DescribeError(outcome.startError) +
                      "): " + command);
    else if (!outcome.finished)
        m_log.Write(EVENTLOG_WARNING_TYPE, run.prefix + "the command was still running after " +
                                               std::to_string(m_commandTimeoutMs / 1000) +
                                               " seconds and was left running: " + command);
    else if (outcome.exitCode != 0)
        Fail(run, "the command failed with exit code " + std::to_string(outcome.exitCode) + ": " +
                      command + "." + output);
    else
        Audit(run, "ran the command: " + command);
}

void ThresholdActions::WriteReports(Run& run) {
    const AllotrixActionRec& action = run.action;
    std::vector<ReportTable> reports =
        BuildReports(action.GetPolicyFlags(), run.firing.record, run.firing.threshold);
    if (reports.empty())
        return;
    std::string folder = action.ReportMail.OutputDirectory;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == ' '))
        folder.pop_back();
    if (folder.empty())
        folder = m_folder + "\\Reports";
    DWORD error = CreateFolders(folder);
    ReportFormat format = FormatOfPolicy(action.GetPolicyFlags());
    std::string stamp = TimeStamp();
    std::string written;
    for (const ReportTable& report : reports) {
        if (error != ERROR_SUCCESS)
            break;
        std::string content = FormatReport(report, format);
        std::string name = report.fileStem + "-" + stamp + ExtensionOf(format);
        for (int copy = 2;
             (error = WriteWholeFile(folder + "\\" + name, content)) == ERROR_FILE_EXISTS; ++copy)
            name = report.fileStem + "-" + stamp + "-" + std::to_string(copy) + ExtensionOf(format);
        if (error == ERROR_SUCCESS) {
            run.reports.push_back({name, content});
            written += (written.empty() ? "" : ", ") + name;
        }
    }
    if (error != ERROR_SUCCESS)
        Fail(run, "the reports could not be written to " + folder + ": " + DescribeError(error));
    if (!written.empty())
        Audit(run, "wrote the reports " + written + " to " + folder + ".");
}

void ThresholdActions::SendMail(Run& run) {
    const ReportMailInfo& mail = run.action.ReportMail;
    MailMessage message;
    message.to = SplitRecipients(mail.MailTo);
    message.cc = SplitRecipients(mail.MailCc);
    bool withReports = run.action.IsPolicyFlagSet(PolMailReport) && !run.reports.empty();
    if (message.to.empty() && message.cc.empty()) {
        if (withReports)
            Fail(run, "the reports were not mailed: the threshold names no recipients.");
        return;
    }
    message.subject = ExpandMacros(mail.MailSubject, run.macros);
    if (message.subject.empty())
        message.subject =
            ExpandMacros("Quota threshold [THRESH NUMBER] of [OBJECT NAME]", run.macros);
    message.body = run.message;
    if (withReports)
        message.attachments = run.reports;
    MailSettings settings;
    DWORD error = ReadMailSettings(settings);
    if (error != ERROR_SUCCESS) {
        Fail(run, "no mail was sent: the server's mail settings name no SMTP server.");
        return;
    }
    std::string failure = ::SendMail(settings, message);
    if (!failure.empty())
        Fail(run, "the mail to " + std::string(mail.MailTo) + " was not sent: " + failure + ".");
    else
        Audit(run, "mailed " +
                       std::string(withReports ? "the message and the reports" : "the message") +
                       " to " + mail.MailTo + ".");
}
