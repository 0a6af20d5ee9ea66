-- The empty case database. Every value is stored as text; the auto numbers
-- never repeat (AUTOINCREMENT), so an ID once given to an investigation or an
-- interview stays its own. Stored order is insertion order (rowid).
CREATE TABLE "Location" (
  "LocationName" TEXT, "LocationAddress1" TEXT, "LocationAddress2" TEXT,
  "ContactName" TEXT, "Phone" TEXT, "Cell" TEXT, "Email" TEXT,
  "Background" TEXT, "History" TEXT, "Notes" TEXT, "Directions" TEXT, "Image" TEXT
);
CREATE TABLE "Investigations" (
  "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
  "FullDate_Time" TEXT, "Location" TEXT,
  "Date_Month" TEXT, "Date_Day" TEXT, "Date_Year" TEXT,
  "Time_Hour" TEXT, "Time_Min" TEXT, "Time_AP" TEXT,
  "Outside_Temp" TEXT, "Inside_Temp" TEXT, "Humidity" TEXT, "Moon_Phase" TEXT,
  "Wind_Speed" TEXT, "Weather" TEXT, "Barometer" TEXT,
  "investigators" TEXT, "equipment" TEXT,
  "Initial_Thoughts" TEXT, "Investigation_Notes" TEXT, "Tape_Archive" TEXT
);
CREATE TABLE "Interview" (
  "ID" INTEGER PRIMARY KEY AUTOINCREMENT,
  "FullDate_Time" TEXT, "Location" TEXT, "Investigation" TEXT,
  "Date_Month" TEXT, "Date_Day" TEXT, "Date_Year" TEXT,
  "Time_Hour" TEXT, "Time_Min" TEXT, "Time_AP" TEXT,
  "Name" TEXT, "Affiliation" TEXT, "Interviewer" TEXT, "Interview" TEXT
);
CREATE TABLE "Investigators" (
  "Name" TEXT, "Address1" TEXT, "Address2" TEXT, "Phone" TEXT, "Cell" TEXT,
  "Email" TEXT, "Notes" TEXT, "Image" TEXT, "Title" TEXT, "Active" TEXT
);
CREATE TABLE "equipment" (
  "Nick_Name" TEXT, "Type" TEXT, "Manufacturer" TEXT, "Model" TEXT,
  "Battery_type" TEXT, "Media_type" TEXT, "Quirks" TEXT
);
CREATE TABLE "Pictures" (
  "Investigation" TEXT, "Title" TEXT, "History" TEXT, "Path" TEXT
);

-- Lookups compare exactly (BINARY collation), as the program does.
CREATE INDEX "Location_Name" ON "Location" ("LocationName");
CREATE INDEX "Investigations_Location" ON "Investigations" ("Location");
CREATE INDEX "Investigations_Key" ON "Investigations" ("FullDate_Time");
CREATE INDEX "Interview_Investigation" ON "Interview" ("Investigation", "Location");
CREATE INDEX "Interview_Key" ON "Interview" ("FullDate_Time");
CREATE INDEX "Investigators_Name" ON "Investigators" ("Name");
CREATE INDEX "equipment_Nick_Name" ON "equipment" ("Nick_Name");
CREATE INDEX "Pictures_Investigation" ON "Pictures" ("Investigation", "Title");
