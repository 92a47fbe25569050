// The saves' state (saves.js, Module.saves.watch) in the player's words, in
// the notice under the game: another tab keeps them, or they cannot be kept.
// A tab that writes says nothing.
const WORDS = {
  waiting: "Quillmoor is open in another tab, which keeps the saves. It starts here when that tab is closed.",
  elsewhere: "Quillmoor was opened in another tab, which keeps the saves now. This one has stopped.",
};
const UNAVAILABLE = {
  "no-storage": "this browser keeps no storage for the page",
  unreadable: "the saved worlds could not be read",
};

export function savesNotice(saves) {
  const notice = document.getElementById("notice");
  saves.watch((state) => {
    notice.replaceChildren();
    if (state.mode === "unavailable") {
      notice.textContent = `Saves unavailable: ${UNAVAILABLE[state.reason] || UNAVAILABLE.unreadable}.` +
                           " You can play, but nothing will be kept.";
    } else if (WORDS[state.mode]) {
      notice.textContent = WORDS[state.mode];
      // Either tab may become the one that plays: this one starts again
      // and takes the saves over.
      const button = document.createElement("button");
      button.textContent = "Play here instead";
      button.addEventListener("click", () => saves.takeOver());
      notice.append(document.createElement("br"), button);
    }
    notice.hidden = !notice.textContent;
  });
}
