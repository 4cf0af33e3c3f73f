#include "cli/FileOutput.h"

#include "cli/Args.h"

#include <filesystem>

namespace kestrova::cli {

void Check(const WriteOutcome& outcome) {
    if (!outcome) throw InputError(outcome.message);
}

void WriteFileSafely(const std::string& path, std::string_view content) {
    Check(WriteFileAtomically(path, content));
}

void CheckOutputTargets(const std::vector<OutputTarget>& targets) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files; // each target's file, links followed
    for (const OutputTarget& target : targets) {
        std::string resolved;
        if (const std::string problem = WriteTargetProblem(target.path, &resolved);
            !problem.empty())
            throw InputError(problem);
        std::error_code error;
        fs::path file = fs::weakly_canonical(fs::absolute(resolved, error), error);
        if (error) file = fs::absolute(resolved, error);
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::error_code same;
            if (files[i] == file || fs::equivalent(files[i], file, same))
                throw UsageError("options --" + targets[i].option + " and --" + target.option +
                                 " name the same file \"" + target.path +
                                 "\": each output needs a file of its own");
        }
        files.push_back(file);
    }
}

} // namespace kestrova::cli
