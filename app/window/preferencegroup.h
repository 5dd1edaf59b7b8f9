#pragma once

class QGroupBox;

// The titled, rounded frame that both preference pages draw around each of their groups.
void stylePreferenceGroup(QGroupBox *group);
