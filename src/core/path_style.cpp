#include "core/path_style.h"

namespace core {
namespace {

bool ends_folder(PathStyle style, char c) {
  return c == style.separator || (style.colon_ends_folder && c == ':');
}

}  // namespace

SplitPath split_path(PathStyle style, std::string_view path) {
  std::size_t cut = path.size();
  while (cut > 0 && !ends_folder(style, path[cut - 1])) --cut;
  return {std::string(path.substr(cut)), std::string(path.substr(0, cut))};
}

std::string base_dir_from_module_path(PathStyle style, std::string_view module_path) {
  std::string folder = split_path(style, module_path).folder;
  if (!folder.empty() && folder.back() == style.separator) folder.pop_back();
  return folder;
}

std::string join(PathStyle style, std::string_view base, std::string_view name) {
  std::string path;
  path.reserve(base.size() + 1 + name.size());
  path.append(base).push_back(style.separator);
  path.append(name);
  return path;
}

}  // namespace core
