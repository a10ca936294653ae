package javalauncher.packer;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.DirectoryStream;
import java.nio.file.Files;
import java.nio.file.LinkOption;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.util.ArrayList;
import java.util.List;

/**
 * The pack is built in a hidden work folder beside --out and moved in only once complete, so a
 * failed or interrupted pack never leaves a half-written application where the user expects a
 * finished one. --out may be new, empty, or hold an earlier pack with its record of written
 * files: then exactly those files are replaced or removed, and whatever else is there (the
 * application's logs, the user's files) stays. Changed recorded files, or files of the new
 * pack's names that the packer did not write, stop the pack before anything moves.
 */
final class OutputFolder {
    private static final LinkOption[] NO_FOLLOW = {LinkOption.NOFOLLOW_LINKS};
    private static final long STOP_WAIT_MILLIS = 5000;

    private final Path target;
    private final WorkFolder work;
    final Path staging;
    private final Thread owner = Thread.currentThread();
    private final Thread cleanUpOnExit;
    private final Object moving = new Object();
    private volatile boolean stopping;
    private boolean committing;
    private boolean finished;
    // Set when undoing a half-done move failed: the work folder then holds the earlier pack's
    // files and stays for the next pack to put them back.
    private boolean keepWork;

    private OutputFolder(Path target, WorkFolder work) {
        this.target = target;
        this.work = work;
        this.staging = work.staged();
        this.cleanUpOnExit = new Thread(this::stop, "javalauncher-pack clean-up");
        Runtime.getRuntime().addShutdownHook(cleanUpOnExit);
    }

    static OutputFolder create(Path out, String name) throws PackException {
        Path target = out.toAbsolutePath().normalize();
        if (target.getParent() == null) {
            throw new PackException("--out " + out + ": give a folder to create");
        }
        for (String note : Leftovers.recover(target)) {
            System.err.println("javalauncher-pack: " + note);
        }
        checkReplaceable(target);
        try {
            Files.createDirectories(target.getParent());
            return new OutputFolder(target, WorkFolder.create(target));
        } catch (IOException e) {
            throw new PackException("--out " + out + ": cannot create a folder beside it ("
                    + e.getMessage() + ")");
        }
    }

    /** Where signing writes its intermediate files: inside the work folder, never in /tmp. */
    Path scratch() {
        return work.scratch();
    }

    /** Text about staged files as the user should read it: naming --out, not the work folder. */
    String shown(String text) {
        return text.replace(staging.toString(), target.toString())
                .replace(work.root.toString(), target.toString());
    }

    /**
     * The record of the earlier pack in target, or null when target is missing or empty;
     * refuses a folder the packer could not replace without touching files it did not write.
     */
    static PackRecord checkReplaceable(Path target) throws PackException {
        if (!Files.exists(target)) return null;
        if (!Files.isDirectory(target)) {
            throw new PackException("--out " + target + " is a file; give a folder");
        }
        PackRecord earlier = PackRecord.read(target);
        if (earlier == null) {
            if (isEmpty(target)) return null;
            throw new PackException("--out " + target + " already holds other files and no "
                    + PackRecord.FILE_NAME + " of an earlier pack; the packer only replaces"
                    + " files it wrote, so give a new or empty folder");
        }
        List<String> changed;
        try {
            changed = earlier.changedIn(target);
        } catch (IOException e) {
            throw new PackException("--out " + target + ": cannot read the earlier pack's files ("
                    + e.getMessage() + ")");
        }
        if (!changed.isEmpty()) {
            throw new PackException("--out " + target + ": " + some(changed) + " changed since"
                    + " the earlier pack wrote " + (changed.size() == 1 ? "it" : "them")
                    + ", so packing again would lose those changes; move "
                    + (changed.size() == 1 ? "it" : "them") + " away (or delete "
                    + (changed.size() == 1 ? "it" : "them") + ") and pack again");
        }
        return earlier;
    }

    /** Refuses to move a file over one the earlier pack did not write, or through a non-folder. */
    private void checkNoForeignFiles(PackRecord fresh, PackRecord earlier) throws PackException {
        List<String> foreign = new ArrayList<>();
        for (String path : fresh.files.keySet()) {
            String[] parts = path.split("/");
            String prefix = "";
            for (int i = 0; i < parts.length; i++) {
                prefix = prefix.isEmpty() ? parts[i] : prefix + "/" + parts[i];
                Path existing = target.resolve(prefix);
                if (!Files.exists(existing, NO_FOLLOW)) break;
                boolean last = i == parts.length - 1;
                boolean ours = earlier != null && earlier.files.containsKey(prefix);
                if (last ? !ours : !ours && !Files.isDirectory(existing, NO_FOLLOW)) {
                    foreign.add(prefix);
                    break;
                }
            }
        }
        if (!foreign.isEmpty()) {
            throw new PackException("--out " + target + ": the pack would replace "
                    + some(foreign) + ", which the packer did not write; move "
                    + (foreign.size() == 1 ? "it" : "them") + " away and pack again");
        }
    }

    private static String some(List<String> paths) {
        int shown = Math.min(paths.size(), 5);
        String list = String.join(", ", paths.subList(0, shown));
        return paths.size() > shown ? list + " and " + (paths.size() - shown) + " more" : list;
    }

    private static boolean isEmpty(Path folder) throws PackException {
        try (DirectoryStream<Path> entries = Files.newDirectoryStream(folder)) {
            return !entries.iterator().hasNext();
        } catch (IOException e) {
            throw new PackException("--out " + folder + ": cannot list it (" + e.getMessage()
                    + ")");
        }
    }

    /** Moves the finished pack into --out, replacing the files of an earlier pack there. */
    void commit() throws PackException {
        Checkpoint.reach("staged");
        synchronized (moving) {
            committing = true;
            try {
                stopIfAsked();
                PackRecord earlier = checkReplaceable(target);
                // The record lists files; a folder left empty would outlive its pack.
                PackRecord.removeEmptyFolders(staging);
                PackRecord fresh = PackRecord.of(staging);
                checkNoForeignFiles(fresh, earlier);
                byte[] record = fresh.toText().getBytes(StandardCharsets.UTF_8);
                Files.write(staging.resolve(PackRecord.FILE_NAME), record);
                Path journal = work.journal();
                Files.write(journal.resolveSibling(WorkFolder.JOURNAL + ".part"), record);
                Leftovers.move(journal.resolveSibling(WorkFolder.JOURNAL + ".part"), journal);
                if (!Files.exists(target)) {
                    Leftovers.move(staging, target);
                } else {
                    replace(earlier);
                }
                Checkpoint.reach("recorded");
                finish();
            } catch (IOException e) {
                String reason = e instanceof Stopped ? "the packer was stopped"
                                                     : shown(String.valueOf(e.getMessage()));
                throw new PackException("cannot move the pack into " + target + " (" + reason
                        + ")" + undo());
            }
        }
    }

    /** The earlier pack's files go aside, the new ones in, and last the record replaces its. */
    private void replace(PackRecord earlier) throws IOException {
        if (earlier != null) {
            for (String path : earlier.files.keySet()) {
                stopIfAsked();
                Path file = target.resolve(path);
                if (!Files.exists(file, NO_FOLLOW)) continue;
                Path aside = work.aside().resolve(path);
                Files.createDirectories(aside.getParent());
                Leftovers.move(file, aside);
            }
            PackRecord.removeEmptyFolders(target, earlier.folders());
        }
        Checkpoint.reach("moved-aside");
        moveIn(staging, target);
        Checkpoint.reach("moved-in");
        stopIfAsked();
        Files.move(staging.resolve(PackRecord.FILE_NAME), target.resolve(PackRecord.FILE_NAME),
                StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.ATOMIC_MOVE);
    }

    /** A folder --out lacks moves whole; one it has (holding other files) is merged into. */
    private void moveIn(Path from, Path to) throws IOException {
        List<Path> entries = new ArrayList<>();
        try (DirectoryStream<Path> list = Files.newDirectoryStream(from)) {
            list.forEach(entries::add);
        }
        for (Path entry : entries) {
            if (entry.equals(staging.resolve(PackRecord.FILE_NAME))) continue;
            stopIfAsked();
            Path destination = to.resolve(entry.getFileName().toString());
            if (Files.isDirectory(entry, NO_FOLLOW) && Files.isDirectory(destination, NO_FOLLOW)) {
                moveIn(entry, destination);
            } else {
                Leftovers.move(entry, destination);
            }
        }
    }

    /** Takes --out back to how it was; returns the rest of the message for the user. */
    private String undo() {
        // A stop request may have interrupted this thread; file channels would refuse to work.
        boolean interrupted = Thread.interrupted();
        try {
            Leftovers.undo(work.root, target);
            keepWork = false;
            return "; " + target + " is as it was";
        } catch (IOException e) {
            keepWork = true;
            return "; putting " + target + " back as it was failed too (" + e.getMessage()
                    + "), so " + work.root + " stays for the next pack to finish that";
        } finally {
            if (interrupted) Thread.currentThread().interrupt();
        }
    }

    private void stopIfAsked() throws Stopped {
        if (stopping) throw new Stopped();
    }

    private void finish() {
        finished = true;
        try {
            Runtime.getRuntime().removeShutdownHook(cleanUpOnExit);
        } catch (IllegalStateException e) {
            // Already shutting down: the hook finds the work done.
        }
        boolean interrupted = Thread.interrupted();
        try {
            if (keepWork) {
                work.release();
            } else {
                work.remove();
            }
        } catch (IOException e) {
            System.err.println("javalauncher-pack: warning: could not remove " + work.root
                    + " (" + e.getMessage() + "); the next pack into " + target
                    + " removes it");
        } finally {
            if (interrupted) Thread.currentThread().interrupt();
        }
    }

    /** Removes the work folder of a pack that did not complete. */
    void abandon() {
        synchronized (moving) {
            if (finished) return;
            if (committing && !keepWork) {
                String result = undo();
                if (keepWork) System.err.println("javalauncher-pack: warning" + result);
            }
            finish();
        }
    }

    /**
     * Runs when the packer is stopped (Ctrl+C, kill): lets the pack's thread stop at its next
     * step (interrupting a wait for osslsigncode or a file copy), waits a little for it to undo
     * its work, and otherwise does that itself. What a kill leaves, the next pack undoes.
     */
    private void stop() {
        stopping = true;
        Checkpoint.stopping = true;
        synchronized (moving) {
            // While files move into --out, the pack's thread stops between two moves; an
            // interrupt could break off the undo it then does.
            if (!committing && !finished) owner.interrupt();
            long end = System.currentTimeMillis() + STOP_WAIT_MILLIS;
            while (!finished && owner.isAlive() && System.currentTimeMillis() < end) {
                try {
                    moving.wait(50);
                } catch (InterruptedException e) {
                    break;
                }
            }
            if (!finished) {
                if (committing && !keepWork) undo();
                finish();
            }
            moving.notifyAll();
        }
    }

    /** A stop asked for while files were moving. */
    private static final class Stopped extends IOException {
        private static final long serialVersionUID = 1L;

        Stopped() {
            super("stopped");
        }
    }
}
