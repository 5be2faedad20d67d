// The Select Files and Sounds pages: adding, removing, clearing and reordering, the labels, the
// source preview and the music preview.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "app/widgets/FlashPreview.h"
#include "app/widgets/PictureView.h"
#include "app/widgets/TextListBox.h"
#include "tests/app/FormRig.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

namespace {

struct TSourcePage {
  explicit TSourcePage(TFormRig& rig)
      : List(*rig.Control<TTextListBox>("lbSourcefiles")),
        Picture(*rig.Control<TPictureView>("imgpreview")),
        Movie(*rig.Control<TFlashPreview>("swfPreview")),
        Label(*rig.Control<QLabel>("lblfullname")),
        Name(*rig.Control<QLineEdit>("edtOutputName")),
        Preview(*rig.Control<QCheckBox>("scchkPreviewSource")) {
    rig.ClickTab(1);
  }
  TTextListBox& List;
  TPictureView& Picture;
  TFlashPreview& Movie;
  QLabel& Label;
  QLineEdit& Name;
  QCheckBox& Preview;
};

// Pictures a.bmp, b.bmp, ... in the scratch folder, each of its own colour.
QStringList Pictures(TFormRig& rig, int count) {
  QStringList paths;
  for (int i = 0; i < count; ++i)
    paths.append(rig.Picture(QString(QChar('a' + i)) + ".bmp", QColor::fromHsv(i * 40, 255, 255)));
  return paths;
}

QStringList Names(const TTextListBox& list) {
  QStringList names;
  for (const QString& path : list.Items())
    names.append(path.section('/', -1));
  return names;
}

}  // namespace

class ListTests : public QObject {
  Q_OBJECT

 private slots:
  void addPicturesSelectsAndPreviewsTheFirst();
  void addTwiceListsTwice();
  void addedPicturesNameTheSaverOnlyUntilTyped_data();
  void addedPicturesNameTheSaverOnlyUntilTyped();
  void cancelledAddReselectsTheFirst();
  void addMoviesForTheFlashKind();
  void clickingAnEntryPreviewsIt();
  void unreadablePictureKeepsThePreview();
  void moveUpAndDown_data();
  void moveUpAndDown();
  void reverseAllPreviewsAfterEveryExchange();
  void reverseShortListsDoesNothing_data();
  void reverseShortListsDoesNothing();
  void removeSelectsThePreviousEntry_data();
  void removeSelectsThePreviousEntry();
  void removeTheOnlyEntryKeepsThePreview();
  void removeWithoutSelection();
  void clearTouchesOnlyTheList();
  void previewBoxesSwitchThePreview();
  void hoverLabels();
  void addMusic();
  void playAndStop();
  void unplayableMusicIsReported();
};

void ListTests::addPicturesSelectsAndPreviewsTheFirst() {
  TFormRig rig;
  TSourcePage page(rig);
  const QStringList pictures = Pictures(rig, 2);
  rig.AddSources(pictures);
  const TOpenFilesRequest& request = rig.Dialogs.OpenRequests.last();
  QVERIFY(request.PicturePreview);
  // Every picture first, so that the dialog starts showing them all.
  const QList<TFileFilter> filters = {
      {"All Picture Files",
       {"*.jpeg", "*.jpg", "*.png", "*.webp", "*.heic", "*.heif", "*.bmp", "*.gif"}},
      {"Picture Files (JPEG)", {"*.jpeg", "*.jpg"}},
      {"Picture Files (PNG)", {"*.png"}},
      {"Picture Files (WebP)", {"*.webp"}},
      {"Picture Files (HEIC)", {"*.heic", "*.heif"}},
      {"Picture Files (BMP)", {"*.bmp"}},
      {"Picture Files (GIF)", {"*.gif"}}};
  QCOMPARE(request.Filters, filters);
  QCOMPARE(page.List.Items(), pictures);
  QCOMPARE(page.List.currentRow(), 0);
  QCOMPARE(page.Picture.ShownFile(), pictures[0]);
  QCOMPARE(page.Movie.size(), QSize(0, 0));
  QCOMPARE(page.List.toolTip(), pictures[0]);
  QCOMPARE(page.Name.text(), QString("a"));
}

// The name follows the first source while it is empty or still the name taken from it before;
// a name the user typed stays, whatever is added or cleared.
void ListTests::addedPicturesNameTheSaverOnlyUntilTyped_data() {
  QTest::addColumn<QString>("typed");  // typed into the name field after the first add
  QTest::addColumn<QString>("shown");  // after clearing the list and adding "photo01.jpg"
  QTest::newRow("typed name") << "Summer Show"
                              << "Summer Show";
  QTest::newRow("typed, same as derived") << "a"
                                          << "photo01";
  QTest::newRow("emptied") << ""
                           << "photo01";
  QTest::newRow("untouched") << QString() << "photo01";
}

void ListTests::addedPicturesNameTheSaverOnlyUntilTyped() {
  QFETCH(QString, typed);
  QFETCH(QString, shown);
  TFormRig rig;
  TSourcePage page(rig);
  rig.AddSources(Pictures(rig, 1));
  QCOMPARE(page.Name.text(), QString("a"));
  if (!typed.isNull()) {
    page.Name.clear();
    QTest::keyClicks(&page.Name, typed);
  }
  rig.AddSources({rig.Picture("photo00.jpg", Qt::gray)});  // the first source stays "a"
  QCOMPARE(page.Name.text(), typed.isNull() || typed.isEmpty() ? QString("a") : typed);
  rig.ClickButton("scButton3");
  rig.AddSources({rig.Picture("photo01.jpg", Qt::red)});
  QCOMPARE(page.Name.text(), shown);
}

void ListTests::addTwiceListsTwice() {
  TFormRig rig;
  TSourcePage page(rig);
  const QString picture = rig.Picture("same.jpg", Qt::red);
  rig.AddSources({picture});
  rig.AddSources({picture});
  QCOMPARE(page.List.Items(), (QStringList{picture, picture}));
}

void ListTests::cancelledAddReselectsTheFirst() {
  TFormRig rig;
  TSourcePage page(rig);
  const QStringList pictures = Pictures(rig, 3);
  rig.AddSources(pictures);
  rig.ClickEntry(page.List, 2);
  QCOMPARE(page.Picture.ShownFile(), pictures[2]);
  page.Name.setText("typed");
  rig.ClickButton("scButton1");  // the dialog is cancelled
  QCOMPARE(page.List.count(), 3);
  QCOMPARE(page.List.currentRow(), 0);
  QCOMPARE(page.Picture.ShownFile(), pictures[0]);
  QCOMPARE(page.Name.text(), QString("typed"));  // what the user typed stays
}

void ListTests::addMoviesForTheFlashKind() {
  TFormRig rig;
  TSourcePage page(rig);
  rig.ChooseFlash();
  const QString movie = rig.File("clip.swf", "FWS");
  rig.AddSources({movie});
  const TOpenFilesRequest& request = rig.Dialogs.OpenRequests.last();
  QVERIFY(!request.PicturePreview);
  QCOMPARE(request.Filters, (QList<TFileFilter>{{"Flash Files", {"*.swf"}}}));
  QCOMPARE(page.Movie.size(), QSize(167, 136));
  QCOMPARE(page.Movie.Movie(), movie);
  QCOMPARE(page.Name.text(), QString("clip"));
  QVERIFY(page.Picture.IsEmpty());
}

void ListTests::clickingAnEntryPreviewsIt() {
  TFormRig rig;
  TSourcePage page(rig);
  const QStringList pictures = Pictures(rig, 3);
  rig.AddSources(pictures);
  rig.ClickEntry(page.List, 1);
  QCOMPARE(page.Picture.ShownFile(), pictures[1]);
  QCOMPARE(page.List.toolTip(), pictures[1]);
  page.List.setFocus();
  QTest::keyClick(&page.List, Qt::Key_Down);
  QCOMPARE(page.Picture.ShownFile(), pictures[2]);
}

void ListTests::unreadablePictureKeepsThePreview() {
  TFormRig rig;
  TSourcePage page(rig);
  const QString good = rig.Picture("good.bmp", Qt::green);
  const QString odd = rig.File("odd.tga");
  rig.AddSources({good, odd});
  rig.Dialogs.TakeLog();
  rig.ClickEntry(page.List, 1);
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{"error: Unknown picture file extension (.tga)"});
  QCOMPARE(page.List.currentRow(), 1);
  QCOMPARE(page.Picture.ShownFile(), good);
  QCOMPARE(page.List.toolTip(), good);
}

void ListTests::moveUpAndDown_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<int>("selected");
  QTest::addColumn<QStringList>("order");
  QTest::addColumn<int>("selectedAfter");
  QTest::newRow("up") << "SpeedButton1" << 1 << QStringList{"b", "a", "c"} << 0;
  QTest::newRow("up at the top") << "SpeedButton1" << 0 << QStringList{"a", "b", "c"} << 0;
  QTest::newRow("down") << "SpeedButton2" << 1 << QStringList{"a", "c", "b"} << 2;
  QTest::newRow("down at the end") << "SpeedButton2" << 2 << QStringList{"a", "b", "c"} << 2;
}

void ListTests::moveUpAndDown() {
  QFETCH(QString, button);
  QFETCH(int, selected);
  QFETCH(QStringList, order);
  QFETCH(int, selectedAfter);
  TFormRig rig;
  TSourcePage page(rig);
  rig.AddSources({"/x/a", "/x/b", "/x/c"});
  page.Preview.setChecked(false);
  rig.ClickEntry(page.List, selected);
  page.Label.setText("kept");
  rig.Dialogs.TakeLog();
  rig.ClickButton(button.toUtf8().constData());
  QCOMPARE(Names(page.List), order);
  QCOMPARE(page.List.currentRow(), selectedAfter);
  QCOMPARE(page.Label.text(), QString("kept"));
  QVERIFY(rig.Dialogs.Log.isEmpty());
}

void ListTests::reverseAllPreviewsAfterEveryExchange() {
  TFormRig rig;
  TSourcePage page(rig);
  // b and d cannot be shown: each preview of them is reported, which makes every preview seen.
  const QString a = rig.Picture("a.bmp", Qt::red);
  const QString e = rig.Picture("e.bmp", Qt::blue);
  rig.AddSources({a, rig.File("b.tga"), rig.Picture("c.bmp", Qt::green), rig.File("d.tif"), e});
  rig.ClickEntry(page.List, 1);
  rig.Dialogs.TakeLog();
  rig.ClickButton("SpeedButton3");
  QCOMPARE(Names(page.List), (QStringList{"e.bmp", "d.tif", "c.bmp", "b.tga", "a.bmp"}));
  QCOMPARE(page.List.currentRow(), 1);
  // First exchange: b is still at index 1; second: d has come there.
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{"error: Unknown picture file extension (.tga)",
                                               "error: Unknown picture file extension (.tif)"}));
  QCOMPARE(page.Picture.ShownFile(), a);
}

void ListTests::reverseShortListsDoesNothing_data() {
  QTest::addColumn<int>("count");
  QTest::newRow("empty") << 0;
  QTest::newRow("one entry") << 1;
}

void ListTests::reverseShortListsDoesNothing() {
  QFETCH(int, count);
  TFormRig rig;
  TSourcePage page(rig);
  const QString broken = rig.File("broken.png");
  if (count) rig.AddSources({broken});
  rig.Dialogs.TakeLog();
  rig.ClickButton("SpeedButton3");
  QCOMPARE(page.List.count(), count);
  QVERIFY(rig.Dialogs.Log.isEmpty());  // no preview ran
}

void ListTests::removeSelectsThePreviousEntry_data() {
  QTest::addColumn<int>("removed");
  QTest::addColumn<QStringList>("left");
  QTest::addColumn<int>("selected");
  QTest::newRow("first") << 0 << QStringList{"b.bmp", "c.bmp"} << 0;
  QTest::newRow("middle") << 1 << QStringList{"a.bmp", "c.bmp"} << 0;
  QTest::newRow("last") << 2 << QStringList{"a.bmp", "b.bmp"} << 1;
}

void ListTests::removeSelectsThePreviousEntry() {
  QFETCH(int, removed);
  QFETCH(QStringList, left);
  QFETCH(int, selected);
  TFormRig rig;
  TSourcePage page(rig);
  rig.AddSources(Pictures(rig, 3));
  rig.ClickEntry(page.List, removed);
  rig.ClickButton("scButton2");
  QCOMPARE(Names(page.List), left);
  QCOMPARE(page.List.currentRow(), selected);
  const QString now = page.List.item(selected)->text();
  QCOMPARE(page.Picture.ShownFile(), now);
  QCOMPARE(page.Label.text(), now + "          ");
}

void ListTests::removeTheOnlyEntryKeepsThePreview() {
  TFormRig rig;
  TSourcePage page(rig);
  const QString only = rig.Picture("only.bmp", Qt::red);
  rig.AddSources({only});
  rig.ClickButton("scButton2");
  QCOMPARE(page.List.count(), 0);
  QCOMPARE(page.List.currentRow(), -1);
  QCOMPARE(page.Label.text(), QString("   "));
  QCOMPARE(page.Picture.ShownFile(), only);
}

void ListTests::removeWithoutSelection() {
  TFormRig rig;
  TSourcePage page(rig);
  rig.ClickButton("scButton2");  // empty source list: nothing at all
  QCOMPARE(page.Label.text(), QString("  "));
  rig.ClickButton("scButton6");  // empty music list: the label still resets
  QCOMPARE(rig.Control<QLabel>("lblfullnamemusic")->text(), QString("   "));
}

void ListTests::clearTouchesOnlyTheList() {
  TFormRig rig;
  TSourcePage page(rig);
  const QStringList pictures = Pictures(rig, 2);
  rig.AddSources(pictures);
  page.Label.setText("label");
  rig.ClickButton("scButton3");
  QCOMPARE(page.List.count(), 0);
  QCOMPARE(page.Picture.ShownFile(), pictures[0]);
  QCOMPARE(page.Label.text(), QString("label"));
  QCOMPARE(page.Name.text(), QString("a"));
}

void ListTests::previewBoxesSwitchThePreview() {
  TFormRig rig;
  TSourcePage page(rig);
  const QStringList pictures = Pictures(rig, 3);
  rig.AddSources(pictures);
  page.Preview.click();
  QVERIFY(page.Picture.IsEmpty());
  QCOMPARE(page.Movie.Movie(), QString("noswf"));
  rig.ClickEntry(page.List, 2);
  QCOMPARE(page.List.currentRow(), 2);
  QVERIFY(page.Picture.IsEmpty());
  QCOMPARE(page.List.toolTip(), pictures[0]);
  page.Preview.click();
  QCOMPARE(page.Picture.ShownFile(), pictures[2]);
  QCOMPARE(page.List.toolTip(), pictures[2]);

  // The box of the Effects page runs the same handler, which looks at this page's box only.
  auto* effectBox = rig.Control<QCheckBox>("scchkPreviewEffect");
  page.Picture.Clear();
  effectBox->click();
  QCOMPARE(page.Picture.ShownFile(), pictures[2]);
  page.Preview.setChecked(false);
  page.Picture.ShowFile(pictures[1].toStdString());
  effectBox->click();
  QVERIFY(page.Picture.IsEmpty());
}

void ListTests::hoverLabels() {
  TFormRig rig;
  TSourcePage page(rig);
  rig.AddSources({"/pics/one.jpg", "/pics/two.jpg"});
  // The pointer moving over the list, as the window system reports it.
  const auto moveTo = [](TTextListBox& list, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, list.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
  };
  const auto hover = [&](TTextListBox& list, int row) {
    moveTo(list, list.visualItemRect(list.item(row)).center());
  };
  hover(page.List, 1);
  QCOMPARE(page.Label.text(), QString("/pics/two.jpg    "));
  QCOMPARE(page.Label.toolTip(), QString("/pics/two.jpg    "));
  moveTo(page.List, {5, page.List.viewport()->height() - 3});
  QCOMPARE(page.Label.text(), QString("/pics/two.jpg    "));

  rig.ClickTab(2);
  rig.AddMusic({"/music/song.mid"});
  auto& music = *rig.Control<TTextListBox>("lbMusicFiles");
  auto* musicLabel = rig.Control<QLabel>("lblfullnamemusic");
  hover(music, 0);
  QCOMPARE(musicLabel->text(), QString("/music/song.mid          "));
  QCOMPARE(musicLabel->toolTip(), QString("/music/song.mid"));
}

void ListTests::addMusic() {
  TFormRig rig;
  rig.ClickTab(2);
  auto& music = *rig.Control<TTextListBox>("lbMusicFiles");
  rig.AddMusic({"/m/a.mid", "/m/b.mp3"});
  const QList<TFileFilter> filters = {
      {"All music files (midi,mp3,wav)", {"*.midi", "*.mid", "*.mp3", "*.wav"}},
      {"Music files (midi)", {"*.midi", "*.mid"}},
      {"Music files (mp3)", {"*.mp3"}},
      {"Music files (wav)", {"*.wav"}}};
  QCOMPARE(rig.Dialogs.OpenRequests.last().Filters, filters);
  QCOMPARE(music.Items(), (QStringList{"/m/a.mid", "/m/b.mp3"}));
  QCOMPARE(music.currentRow(), 0);
  rig.ClickEntry(music, 1);
  rig.ClickButton("scButton5");  // cancelled: the first entry is selected again
  QCOMPARE(music.currentRow(), 0);
  QCOMPARE(rig.Control<QLabel>("lblfullnamemusic")->text(), QString("  "));
  rig.ClickButton("SpeedButton4");  // move up at the top: nothing
  rig.ClickButton("SpeedButton5");
  QCOMPARE(music.Items(), (QStringList{"/m/b.mp3", "/m/a.mid"}));
  QCOMPARE(music.currentRow(), 1);
  rig.ClickButton("scButton6");
  QCOMPARE(music.Items(), QStringList{"/m/b.mp3"});
  QCOMPARE(rig.Control<QLabel>("lblfullnamemusic")->text(), QString("/m/b.mp3          "));
  rig.ClickButton("scButton4");
  QCOMPARE(music.count(), 0);
}

void ListTests::playAndStop() {
  TFormRig rig;
  rig.ClickTab(2);
  rig.ClickButton("SpeedButton6");  // nothing selected
  rig.ClickButton("SpeedButton7");  // nothing playing
  QVERIFY(rig.Music.Log.isEmpty());
  rig.AddMusic({"/m/a.mid", "/m/b.wav"});
  rig.ClickButton("SpeedButton6");
  rig.ClickEntry(*rig.Control<TTextListBox>("lbMusicFiles"), 1);
  rig.ClickButton("SpeedButton6");
  QCOMPARE(rig.Music.Log,
           (QStringList{"open: /m/a.mid", "play", "close", "open: /m/b.wav", "play"}));
  rig.ClickButton("SpeedButton7");
  QVERIFY(!rig.Music.Playing);
  QCOMPARE(rig.Music.Log.last(), QString("close"));
}

void ListTests::unplayableMusicIsReported() {
  TFormRig rig;
  rig.ClickTab(2);
  rig.Music.Unplayable.insert("/m/bad.mp3");
  rig.AddMusic({"/m/bad.mp3"});
  rig.ClickButton("SpeedButton6");
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{"open", "error: cannot open /m/bad.mp3"}));
  QVERIFY(!rig.Music.Playing);
}

int RunListTests(int argc, char** argv) {
  ListTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "ListTests.moc"
