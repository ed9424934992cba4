#include "services/axpolicy/file_survey.h"

#include <cstring>
#include <deque>

FolderSurvey SurveyFolder(const std::string& folder, size_t limit) {
    FolderSurvey survey;
    std::deque<std::string> pending{folder};
    size_t entries = 0;
    while (!pending.empty()) {
        std::string current = std::move(pending.front());
        pending.pop_front();
        WIN32_FIND_DATAA data{};
        HANDLE find = FindFirstFileExA((current + "\\*").c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (strcmp(data.cFileName, ".") == 0 || strcmp(data.cFileName, "..") == 0)
                continue;
            if (++entries > limit) {
                survey.truncated = true;
                break;
            }
            std::string path = current + "\\" + data.cFileName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                ++survey.folders;
                if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    pending.push_back(std::move(path));
                continue;
            }
            survey.files.push_back(
                {std::move(path), (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                 data.ftCreationTime, data.ftLastWriteTime, data.ftLastAccessTime});
        } while (FindNextFileA(find, &data));
        FindClose(find);
        if (survey.truncated)
            break;
    }
    return survey;
}
