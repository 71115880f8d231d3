#include "core/own_path.h"

#include <algorithm>

namespace core {

std::string absolute_path(PathStyle style, std::string_view folder, std::string_view path) {
  if (!path.empty() && path.front() == style.separator) return std::string(path);
  if (folder.empty() || path.empty()) return {};
  if (folder.back() == style.separator) return std::string(folder).append(path);
  return join(style, folder, path);
}

std::vector<OwnPathCandidate> own_path_candidates(PathStyle style, const OwnPathClues& clues) {
  std::vector<OwnPathCandidate> candidates;
  const auto add = [&](std::string path, bool must_be_confirmed) {
    if (path.empty()) return;
    const bool seen = std::ranges::any_of(
        candidates, [&](const OwnPathCandidate& earlier) { return earlier.path == path; });
    if (!seen) candidates.push_back({std::move(path), must_be_confirmed});
  };
  // The kernel's link is always absolute; through the loader it names the loader.
  if (!clues.started_by_loader && !clues.kernel_link.empty() &&
      clues.kernel_link.front() == style.separator) {
    add(clues.kernel_link, false);
  }
  // The kernel opened exactly this name, relative to the start folder; the
  // loader rewrites it to the program's name, but older ones leave the loader's.
  add(absolute_path(style, clues.start_folder, clues.exec_name), clues.started_by_loader);
  if (clues.first_argument.find(style.separator) != std::string::npos) {
    add(absolute_path(style, clues.start_folder, clues.first_argument), true);
  }
  return candidates;
}

}  // namespace core
