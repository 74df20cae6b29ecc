#pragma once

#include <memory>
#include <string>

#include "../temp_folder.h"
#include "model/data.h"
#include "model/initial_file_document.h"
#include "textout/text_out_hub.h"

// A patch whose data bytes follow `seed`, named `name`, with memos naming it.
inline std::unique_ptr<CPatch> MakePatch(const std::string& name, int seed = 0) {
    auto patch = std::make_unique<CPatch>();
    patch->Initialize();
    Block& block = patch->PatchBlock();
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0x7F);
    patch->SetName(name);
    for (int m = 0; m < CParameter::kMemoCount; ++m)
        patch->SetMemo(m, name + " memo " + std::to_string(m + 1));
    return patch;
}

inline std::vector<std::string> Names(const CPatchArray& patches) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < patches.GetSize(); ++i) {
        std::string name = patches[i].GetName();
        name.erase(name.find_last_not_of(' ') + 1);
        names.push_back(name);
    }
    return names;
}

inline CPatchArray MakeList(const std::vector<std::string>& names) {
    CPatchArray patches;
    for (std::size_t i = 0; i < names.size(); ++i)
        patches.Add(MakePatch(names[i], static_cast<int>(i)));
    return patches;
}

// Lists made in a model test have no initial-data library unless the test gives them one.
class ModelTest : public ::testing::Test {};

// A model test that captures what file operations report (documents made with &hub_), with a folder of its
// own.
class ReportingModelTest : public ModelTest {
  protected:
    void SetUp() override { hub_.SetTextOut(TextOutHub::kBufferSlot, buffer_); }
    std::string Reported() const { return buffer_->Buffer(); }

    TempFolder folder_;
    TextOutHub hub_;
    std::shared_ptr<CKivTextOutBuffer> buffer_ = std::make_shared<CKivTextOutBuffer>();
};
