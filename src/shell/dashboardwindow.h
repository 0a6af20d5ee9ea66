// The case dashboard (Form2): the four lists from which every record is reached.
#pragma once

#include "shell/casewindow.h"

class QComboBox;
class QLabel;

namespace veil {

class ImageButton;
class PictureBox;

// The case dashboard: four lists that narrow one another (locations,
// investigations, interviews, pictures), each with a button that opens the
// matching window. Other windows read its list texts to learn the selection
// and write back into it after they save.
class Form2 : public CaseWindow {
    Q_OBJECT
public:
    explicit Form2(MDIForm1& frame);

    void load() override;

    // Refills the Investigations list for the location in the Locations text
    // and shows that location's picture. When the database fails, the
    // dashboard goes back to no location chosen, says why and returns false.
    bool load_combo2();
    // Refills the Interviews and Pictures lists for the chosen investigation;
    // on a failure no investigation is chosen any more, and false comes back.
    bool load_combo3();

    // True when a list stands for a new record: its text is the list's mode
    // word ("New", for Pictures "Add") and is not the chosen entry of a record
    // that has that word as its key.
    bool choosesNew(const QComboBox* list) const;
    // Makes a record's key the list's text by choosing its entry (the first
    // of that exact text); runs none of the list's click effects.
    static void selectEntry(QComboBox* list, const QString& key);

    // Sets the lists to a record's keys as if each had been chosen in turn: a
    // location, its investigation, then an interview and a picture (empty
    // ones are left as they are). A key the list does not hold is typed.
    void chooseRecord(const QString& location, const QString& investigation = {},
                      const QString& interview = {}, const QString& picture = {});

    // Choosing an entry in a list (typing into the text does not count).
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Combo4_Click();

    // The image-button actions.
    void Label6_Action();
    void Label7_Action();
    void Label8_Action();
    void Label9_Action();

    // Shows a location's picture by its stored file name, falling back to
    // "\no_images.jpg" when it cannot be loaded.
    void showLocationPicture(const QString& imageName);

    const QString& prerequisiteFlag() const { return m_flag; }

    QLabel* Image1 = nullptr;
    QLabel* Label3 = nullptr;
    PictureBox* Image2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
    QComboBox* Combo4 = nullptr;
    ImageButton* Label6 = nullptr;
    ImageButton* Label7 = nullptr;
    ImageButton* Label8 = nullptr;
    ImageButton* Label9 = nullptr;

private:
    // Empties a list, fills it with the records' keys and chooses its mode word.
    void fillList(QComboBox* box, const QStringList& keys = {});
    // The lists below a list start over with these keys, their buttons saying "New"/"Add".
    void resetInvestigations(const QStringList& keys = {});
    void resetInterviewsAndPictures(const QStringList& interviews = {}, const QStringList& pictures = {});
    // What choosing "New" in the Locations or the Investigations list shows.
    void showNoLocation();
    void showNoInvestigation();
    // A choice in the Locations or Investigations list: a record fills the
    // lists below and its button says "View"; the mode word shows `showNone`.
    void chooseIn(const QComboBox* box, bool (Form2::*fillBelow)(), QLabel* button,
                  void (Form2::*showNone)());
    void prerequisiteCheck();
    // True when `box` chooses its mode word ("New"), after saying `say`.
    bool refuseNew(const QComboBox* box, const QString& say);

    QString m_pictureName; // the location picture found last
    QString m_flag;        // the prerequisite flag: "", "0" or "1"
};

} // namespace veil
