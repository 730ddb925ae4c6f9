#include "program_index.h"

void ProgramIndex::AddProgram(const std::string& type, const std::string& key, const std::string& place) {
    Program& program = programs_[type][key];
    program.listed = true;
    program.place = place;
    catalogue_order_[type].push_back(key);
}

const ProgramIndex::Program* ProgramIndex::Find(const std::string& type, const std::string& key) const {
    const auto of_type = programs_.find(type);
    if (of_type == programs_.end()) return nullptr;
    const auto program = of_type->second.find(key);
    return program == of_type->second.end() ? nullptr : &program->second;
}

bool ProgramIndex::HasProgram(const std::string& type, const std::string& key) const {
    const Program* program = Find(type, key);
    return program && program->listed;
}

StringList ProgramIndex::Programs(const std::string& type) const {
    const auto order = catalogue_order_.find(type);
    return order == catalogue_order_.end() ? StringList() : order->second;
}

std::string ProgramIndex::PlaceOf(const std::string& type, const std::string& key) const {
    const Program* program = Find(type, key);
    return program ? program->place : std::string();
}

void ProgramIndex::SetFile(const std::string& type, const std::string& key, const CategoryLayout& category,
                           const std::string& file_name) {
    programs_[type][key].files[category.code] = file_name;
    named_files_[type].insert(file_name);
}

std::string ProgramIndex::FileOf(const std::string& type, const std::string& key,
                                 const CategoryLayout& category) const {
    const Program* program = Find(type, key);
    if (!program) return "";
    const auto file = program->files.find(category.code);
    return file == program->files.end() ? std::string() : file->second;
}

bool ProgramIndex::IsNamed(const std::string& type, const std::string& file_name) const {
    const auto named = named_files_.find(type);
    return named != named_files_.end() && named->second.count(file_name) != 0;
}
