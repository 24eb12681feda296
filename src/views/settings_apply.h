#pragma once
// After a settings dialog opened from a chart window closes: the open view is shown again
// when a setting it is drawn with changed, so the user sees the new choice at once.
#include "foundation/settings_record.h"

// The options a chart is drawn with differ between two copies of the user settings: the
// kagi turn judgement, the kagi colouring and frames, the paired split, the moving averages
// and the joined listings. Every other setting waits for the next view.
bool ChartOptionsDiffer(const UserSettei& now, const UserSettei& before);
// Any of the fourteen kagi judgement switches differs.
bool KagiJudgeDiffers(const KagiJudgeSettei& now, const KagiJudgeSettei& before);

// Against the copies the dialogs took when they loaded: views 4 to 11 shown again when a
// chart option changed, views 4 and 8 to 10 when a kagi switch changed. A failure is shown
// through MsgWarn and gives false.
bool ApplyUserSettings();
bool ApplyKagiJudgeSettings();
