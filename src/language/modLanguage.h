// The caption language: the resource component chosen by locale, and the replacement
// of a form's design texts by the component's texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "toolkit/Form.h"
#include "base/Handles.h"
#include "vuldres/IVuldResources.h"

namespace qs::modLanguage {

// The user's default locale (1033 for English, United States).
int32_t GetActiveLocaleID();

// Chooses "Vuld<locale>.Resources" for the given locale, or for the user's when none is
// given. A component that is missing or unusable is passed over silently.
void InitLanguage(std::optional<int32_t> locale = std::nullopt);

// Replaces the captions of the form's menus and controls and then its title by the
// component's texts.
void LoadFormResources(toolkit::Form& form);

// The resource component; when none was chosen, the default one is created on the spot.
// Raises error 429 when it cannot be created.
IVuldResources& Resources();

// Forgets the chosen component (the program never does; tests start afresh with it).
void ResetResources();

// The text for `id` from the component.
std::wstring GetResString(int32_t id);

// The picture for `id` of `kind` from the component.
com_ptr<IPictureDisp> GetResPicture(int32_t id, int32_t kind);

// The icon handle a picture object holds.
HICON PictureHandle(IPictureDisp& picture);

}  // namespace qs::modLanguage
