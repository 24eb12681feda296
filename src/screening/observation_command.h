#pragma once
// The observation command (toolbar 観測, 先行観測機能 → 順次 or 逆次): the issues selected in
// the list whose observation of Selection().ObservationOrder is in force, shown in the
// observation window; the rows chosen there become the issue list.
void RunObservation();
