#include "foundation/text_data.h"

namespace {
TextDataState state;
}

TextDataState& TextData() { return state; }
void ResetTextData() { state = TextDataState{}; }
